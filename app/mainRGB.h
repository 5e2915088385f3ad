#pragma once
// The main window: the manual colour controls, the history slots, the
// magnifier and the pick swatch, and the buttons that lead to every other
// window.
#include "colour/ColorTypes.h"
#include "platform/Services.h"

#include <QWidget>

#include <functional>

class QDialog;
class QLabel;
class QLineEdit;

namespace tp {

class ColorSwatch;
class TbsBusinessSkinForm;
class TbsSkinButton;
class TbsSkinGroupBox;
class TbsSkinPanel;
class TbsSkinStdLabel;
class TbsSkinTrackEdit;
class TbsSkinMessage;

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

    TColor PickedColor = 0;

    // Components, named as in the window's design.
    TbsBusinessSkinForm* bsfMain;
    TbsSkinGroupBox* bsSkinGroupBox1;
    TbsSkinStdLabel *bsSkinStdLabel1, *bsSkinStdLabel2, *bsSkinStdLabel3, *bsSkinStdLabel4;
    TbsSkinTrackEdit *edtR, *edtG, *edtB;
    QLineEdit* edtHC;
    TbsSkinButton* bsSkinButton7;
    TbsSkinPanel* bsSkinPanel1;
    QWidget* sdgHistory;
    TbsSkinButton *bsSkinButton8, *bsSkinButton2, *bsSkinButton3, *bsSkinButton4;
    TbsSkinGroupBox* gpSnag;
    QWidget* pbCaptureScreen;
    QLabel* lblMousePos;
    TbsSkinPanel* pnlColor;
    ColorSwatch* lblColor;
    QLabel* lblLink;
    TbsSkinButton *bsSkinButton11, *bsSkinButton6, *bsSkinButton5, *bsSkinButton1;
    // The skinned message box; tests put a recorder in its place.
    TbsSkinMessage* msgAlert;
    // Shows the library's modal windows; tests drive them without a nested loop.
    std::function<int(QDialog&)> runModal;

    // Handlers.
    void edtRChange();
    void edtGChange();
    void edtBChange();
    void edtHCChange();
    // The code's key filter: true when the typed character is discarded.
    static bool edtHCKeyPress(QChar ch);
    void bsSkinButton10Click(); // "安全色"
    void bsSkinButton7Click();  // "复制"
    void bsSkinButton1Click();  // "退出"
    void bsSkinButton3Click();  // "保存"
    void bsSkinButton4Click();  // "加载"
    void lblLinkClick();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void buildComponents();
    void channelChanged(TbsSkinTrackEdit* edit, uint8_t TRGB::*channel);
    // Runs a handler inside the standard error guard.
    template <class F> void guarded(F&& f);

    Services services_;
    bool closed_ = false;
};

extern TfrmMain* frmMain;

} // namespace tp
