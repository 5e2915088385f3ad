#pragma once
// The main window's private part: its components, the current colour, the
// pick state and the handlers. Only mainRGB.cpp and mainTray.cpp see it.
#include "app/mainRGB.h"
#include "colour/ColorText.h"
#include "colour/ColorTypes.h"
#include "history/HistoryRing.h"

#include <QImage>
#include <QPointer>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QMouseEvent;
class QPainter;

namespace tp {

class ColorSwatch;
class ScreenSource;
class TbsBusinessSkinForm;
class TbsSkinColorDialog;
class TbsSkinButton;
class TbsSkinDrawGrid;
class TbsSkinGroupBox;
class TbsSkinLinkLabel;
class TbsSkinPanel;
class TbsSkinStdLabel;
class TbsSkinTrackEdit;
class TbsSkinMessage;
class TbsTrayIcon;
class TCodeEdit;
class TPaintBox;
class TPickOverlay;

struct TfrmMain::Private {
    Private(TfrmMain* window, const Services& services);

    TfrmMain* const q;
    Services services_;

    // The one current colour of the program; every view shows it.
    TRGB CurrentRGB{255, 255, 255};
    // The colour the eyedropper read last (or the colour dialog gave), which
    // a release pushes into the history.
    TRGB PickedColor;
    // The eyedropper: a pick drag is in progress; the screen it reads from
    // (held from press to release, at most one); the magnifier image.
    bool Capturing = false;
    ScreenSource* ScreenDC = nullptr;
    QImage ZoomBitmap;
    // The history slots and their two positions (HistorySlots, HistoryPos,
    // HistoryLast).
    HistoryRing History;
    // The format "复制" copies in; chosen by a right click on the button and
    // kept in the settings for the next run.
    CopyFormat CopyAs = CopyFormat::Bare;
    // The overlay of the pick in progress, null when none is.
    QPointer<TPickOverlay> Overlay;
    // Set while the window writes its views from CurrentRGB: the views'
    // change handlers are then for the user's own edits only.
    bool WritingViews = false;

    // Components; a numbered one carries its caption beside it.
    TbsBusinessSkinForm* bsfMain = nullptr;
    TbsSkinGroupBox* bsSkinGroupBox1 = nullptr; // "手工调色"
    TbsSkinStdLabel* bsSkinStdLabel1 = nullptr; // "R"
    TbsSkinStdLabel* bsSkinStdLabel2 = nullptr; // "G"
    TbsSkinStdLabel* bsSkinStdLabel3 = nullptr; // "B"
    TbsSkinStdLabel* bsSkinStdLabel4 = nullptr; // "十六进制     #"
    TbsSkinTrackEdit *edtR = nullptr, *edtG = nullptr, *edtB = nullptr;
    TCodeEdit* edtHC = nullptr;
    TbsSkinButton* bsSkinButton7 = nullptr; // "复制"
    TbsSkinPanel* bsSkinPanel1 = nullptr;   // the frame around the history grid
    TbsSkinDrawGrid* sdgHistory = nullptr;
    TbsSkinButton* bsSkinButton8 = nullptr; // "安全色"
    TbsSkinButton* bsSkinButton2 = nullptr; // "高级"
    TbsSkinButton* bsSkinButton3 = nullptr; // "保存"
    TbsSkinButton* bsSkinButton4 = nullptr; // "加载"
    TbsSkinGroupBox* gpSnag = nullptr;      // "自动采集"
    TPaintBox* pbCaptureScreen = nullptr;
    QLabel* lblMousePos = nullptr;
    TbsSkinPanel* pnlColor = nullptr;
    ColorSwatch* lblColor = nullptr;
    TbsSkinLinkLabel* lblLink = nullptr;
    TbsSkinButton* bsSkinButton11 = nullptr; // "测距"
    TbsSkinButton* bsSkinButton6 = nullptr;  // "资料"
    TbsSkinButton* bsSkinButton5 = nullptr;  // "关于"
    TbsSkinButton* bsSkinButton1 = nullptr;  // "退出"
    TbsSkinMessage* msgAlert = nullptr;
    TbsSkinColorDialog* cdlgSelect = nullptr;
    // The tray icon, its menu and the window's actions.
    TbsTrayIcon* bsTrayIcon1 = nullptr;
    QAction *aShow = nullptr, *aHide = nullptr, *aExit = nullptr, *actStayOnTop = nullptr;
    QMenu* bsSkinPopupMenu1 = nullptr; // the tray icon's menu
    QMenu* mnuHistory = nullptr;       // the history grid's menu
    // The menu items bound to actStayOnTop: a radio item in the tray menu,
    // a check item in the system menu.
    QAction *N6 = nullptr, *N7 = nullptr;

    // Building (FormCreate runs last).
    void buildComponents();
    void buildActions(); // mainTray.cpp
    void FormCreate();
    void FormClose();

    // Brings every view in step with CurrentRGB, writing only the views
    // that differ from it.
    void RefreshViews();
    void RefreshChannelEdits();
    void RefreshSwatch();
    void RefreshHexCode();
    // Takes PickedColor into CurrentRGB and the channel edits' texts.
    void ApplyPickedColor();
    // A colour read by the eyedropper or given by the colour dialog: it
    // becomes PickedColor and the current colour, and every view shows it.
    void TakePicked(TRGB c);

    // Handlers.
    void edtRChange();
    void edtGChange();
    void edtBChange();
    void channelChanged(TbsSkinTrackEdit* edit, uint8_t TRGB::*channel);
    void edtHCChange();
    // A colour pasted whole into the code (#ABCDEF, rgb(...), a name ...).
    void edtHCPasteColor(TRGB c);
    // The code's key filter: true when the typed character is discarded.
    static bool edtHCKeyPress(QChar ch);
    bool codeKeyFilter(QKeyEvent* e);
    void bsSkinButton8Click(); // "安全色"
    void bsSkinButton7Click(); // "复制"
    // Builds the right-click menu of "复制": every format, with the current
    // colour written in it; choosing one keeps it and copies.
    QMenu* CopyFormatMenu();
    void SetCopyFormat(CopyFormat f);
    void bsSkinButton2Click();  // "高级"
    void bsSkinButton1Click();  // "退出"
    void bsSkinButton11Click(); // "测距"
    void bsSkinButton3Click();  // "保存"
    void bsSkinButton4Click();  // "加载"
    // "全部存入颜色库", in the history grid's menu: every pick into the library.
    void aHistoryToLibraryExecute();
    void lblLinkClick();
    void bsSkinButton5Click(); // "关于"
    void bsSkinButton6Click(); // "资料"
    void aShortcutExecute();   // "取色快捷键(&K)…": the pick shortcut's dialog
    void aShowExecute();
    void aShowUpdate();
    void aHideExecute();
    void aHideUpdate();
    void aExitExecute();
    void actStayOnTopExecute();
    void syncStayOnTopMarks();
    void bsTrayIcon1Click();

    // The pick drag on the swatch, for any mouse button.
    void pnlColorMouseDown(QMouseEvent* e);
    void pnlColorMouseMove(QMouseEvent* e);
    void pnlColorMouseUp(QMouseEvent* e);
    bool swatchKeyDuringPick(QKeyEvent* e);
    // One sample: the cursor's device pixel and the 32 x 24 area around it
    // into the position text, the colour, the views and the magnifier.
    // A pixel no monitor shows (onScreen false) reads as white.
    void SampleAt(QPoint devicePos, const QImage& area, bool onScreen);
    // Esc during a drag: the colour from before the press comes back and
    // the release that follows pushes nothing.
    void CancelPick();
    // A pick on a frozen picture of the desktop (the click on the swatch on
    // Wayland, the tray menu's entry everywhere): the views follow the
    // overlay's pointer, a click pushes the picked colour into the history
    // as a drag's release does, Esc or the right button restore the colour.
    void StartOverlayPick();
    // The pick shortcut was pressed anywhere: the same pick, and the colour
    // picked is also copied in the format "复制" copies.
    void StartShortcutPick();
    void startOverlayPick(bool copyPicked);
    void copyPicked(TRGB c);
    // Moves the cursor by a number of device pixels during a drag and
    // samples there (arrow keys land on an exact pixel).
    void NudgeCursor(int dx, int dy);
    void pbCaptureScreenPaint(QPainter& p);

    // The history.
    void PushHistory(TRGB c);
    void TakeColour(TRGB c);
    void sdgHistoryDrawCell(QPainter& p, int col, int row, const QRect& rect, int state);
    void sdgHistorySelectCell(int col, int row, bool& canSelect);
    void LoadHistory();
    void SaveHistory();

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

} // namespace tp
