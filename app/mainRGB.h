#pragma once
// The main window: the manual colour controls, the history slots, the
// magnifier and the pick swatch, and the buttons that lead to every other
// window.
#include "colour/CodeEdit.h"
#include "colour/ColorText.h"
#include "colour/ColorTypes.h"
#include "history/DrawGrid.h"
#include "history/HistoryRing.h"
#include "platform/Services.h"
#include "sampling/Magnifier.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QDialog;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPainter;

namespace tp {

class ColorSwatch;
class ScreenSource;
class TbsBusinessSkinForm;
class TbsSkinColorDialog;
class TbsSkinButton;
class TbsSkinGroupBox;
class TbsSkinLinkLabel;
class TbsSkinPanel;
class TbsSkinStdLabel;
class TbsSkinTrackEdit;
class TbsSkinMessage;
class TbsTrayIcon;
class TPickOverlay;

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMain(const Services& services, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Brings every view in step with CurrentRGB.
    void RefreshViews();
    void RefreshChannelEdits();
    void RefreshSwatch();
    void RefreshHexCode();
    // Takes PickedColor into CurrentRGB and the channel edits' texts.
    void ApplyPickedColor();

    TRGB PickedColor;

    // The eyedropper: a pick drag is in progress; the screen it reads from
    // (held from press to release, at most one); the magnifier image.
    bool Capturing = false;
    ScreenSource* ScreenDC = nullptr;
    QImage ZoomBitmap;
    // The history slots and their two positions (HistorySlots, HistoryPos,
    // HistoryLast).
    HistoryRing History;

    // Components; a numbered one carries its caption beside it.
    TbsBusinessSkinForm* bsfMain;
    TbsSkinGroupBox* bsSkinGroupBox1; // "手工调色"
    TbsSkinStdLabel* bsSkinStdLabel1; // "R"
    TbsSkinStdLabel* bsSkinStdLabel2; // "G"
    TbsSkinStdLabel* bsSkinStdLabel3; // "B"
    TbsSkinStdLabel* bsSkinStdLabel4; // "十六进制     #"
    TbsSkinTrackEdit *edtR, *edtG, *edtB;
    TCodeEdit* edtHC;
    TbsSkinButton* bsSkinButton7; // "复制"
    TbsSkinPanel* bsSkinPanel1;   // the frame around the history grid
    TbsSkinDrawGrid* sdgHistory;
    TbsSkinButton* bsSkinButton8; // "安全色"
    TbsSkinButton* bsSkinButton2; // "高级"
    TbsSkinButton* bsSkinButton3; // "保存"
    TbsSkinButton* bsSkinButton4; // "加载"
    TbsSkinGroupBox* gpSnag;      // "自动采集"
    TPaintBox* pbCaptureScreen;
    QLabel* lblMousePos;
    TbsSkinPanel* pnlColor;
    ColorSwatch* lblColor;
    TbsSkinLinkLabel* lblLink;
    TbsSkinButton* bsSkinButton11; // "测距"
    TbsSkinButton* bsSkinButton6;  // "资料"
    TbsSkinButton* bsSkinButton5;  // "关于"
    TbsSkinButton* bsSkinButton1;  // "退出"
    // The skinned message box; tests put a recorder in its place.
    TbsSkinMessage* msgAlert;
    // Shows the library's modal windows; tests drive them without a nested loop.
    std::function<int(QDialog&)> runModal;
    TbsSkinColorDialog* cdlgSelect;

    // The tray icon, its menu and the window's actions.
    TbsTrayIcon* bsTrayIcon1; // the one tray icon
    QAction *aShow, *aHide, *aExit, *actStayOnTop;
    QMenu* bsSkinPopupMenu1; // the tray icon's menu
    // The menu items bound to actStayOnTop: a radio item in the tray menu,
    // a check item in the system menu.
    QAction *N6, *N7;

    // Handlers.
    void edtRChange();
    void edtGChange();
    void edtBChange();
    void edtHCChange();
    // A colour pasted whole into the code (#ABCDEF, rgb(...), a name ...).
    void edtHCPasteColor(TRGB c);
    // The code's key filter: true when the typed character is discarded.
    static bool edtHCKeyPress(QChar ch);
    void bsSkinButton10Click(); // "安全色"
    void bsSkinButton7Click();  // "复制"
    // The format "复制" copies in; chosen by a right click on the button and
    // kept in the settings for the next run.
    CopyFormat CopyAs = CopyFormat::Bare;
    // Builds the right-click menu of "复制": every format, with the current
    // colour written in it; choosing one keeps it and copies.
    QMenu* CopyFormatMenu();
    void SetCopyFormat(CopyFormat f);
    void bsSkinButton2Click();  // "高级"
    void bsSkinButton1Click();  // "退出"
    void bsSkinButton11Click(); // "测距"
    void bsSkinButton3Click();  // "保存"
    void bsSkinButton4Click();  // "加载"
    void lblLinkClick();
    void bsSkinButton5Click(); // "关于"
    void bsSkinButton6Click(); // "资料"
    void aShowExecute();
    void aShowUpdate();
    void aHideExecute();
    void aHideUpdate();
    void aExitExecute();
    void actStayOnTopExecute();
    void bsTrayIcon1Click();

    // The pick drag on the swatch, for any mouse button.
    void pnlColorMouseDown(QMouseEvent* e);
    void pnlColorMouseMove(QMouseEvent* e);
    void pnlColorMouseUp(QMouseEvent* e);
    // One sample: the cursor's device pixel and the 32 x 24 area around it
    // into the position text, the colour, the views and the magnifier.
    // A pixel no monitor shows (onScreen false) reads as white.
    void SampleAt(QPoint devicePos, const QImage& area, bool onScreen);
    // Esc during a drag: the colour from before the press comes back and
    // the release that follows pushes nothing.
    void CancelPick();
    // A pick on a frozen picture of the desktop (the click on the swatch on
    // Wayland, the tray menu's entry everywhere): the views follow the
    // overlay's pointer, a click pushes the colour into the history as a
    // drag's release does, Esc or the right button restore the colour.
    void StartOverlayPick();
    // The overlay of the pick in progress, null when none is.
    TPickOverlay* Overlay = nullptr;
    // Moves the cursor by a number of device pixels during a drag and
    // samples there (arrow keys land on an exact pixel).
    void NudgeCursor(int dx, int dy);
    void pbCaptureScreenPaint(QPainter& p);

    // The history.
    void PushHistory(TRGB c);
    // A colour picked without the drag or the overlay (the desktop's own
    // picker, `tintpick --pick` in another process): into the history, and
    // the current colour unless a pick is under way here.
    void TakeColour(TRGB c);
    void sdgHistoryDrawCell(QPainter& p, int col, int row, const QRect& rect, int state);
    void sdgHistorySelectCell(int col, int row, bool& canSelect);
    void LoadHistory();
    void SaveHistory();
    // The desktop session or the display ends while the window is open:
    // keep the picks (may run from exit() or another thread).
    void SessionEnding();
    std::string HistoryPath() const;
    // The window has closed, and with it the run: the history is written.
    bool IsClosed() const { return closed_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void buildComponents();
    void buildActions(); // mainTray.cpp
    void syncStayOnTopMarks();
    void channelChanged(TbsSkinTrackEdit* edit, uint8_t TRGB::*channel);
    // Runs a handler inside the standard error guard.
    template <class F> void guarded(F&& f);

    // What a cancelled pick restores.
    struct BeforePick {
        TRGB current;
        TRGB picked;
        QImage zoom;
        QString position;
    };
    BeforePick rememberPick() const;
    void restorePick(const BeforePick& before);

    Services services_;
    BeforePick beforeDrag_;
    // Set by CancelPick until the release of the cancelled drag.
    bool dragCancelled_ = false;
    bool closed_ = false;
    // The history file exists but could not be read: saving would replace
    // what it holds with this run's defaults.
    bool historyUnreadable_ = false;
    // A failed save is reported once, however many saves the end brings.
    bool saveFailureReported_ = false;
};

extern TfrmMain* frmMain;

} // namespace tp
