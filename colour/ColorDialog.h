#pragma once
// The advanced colour dialog: a component that lives with its owner and
// builds a fresh modal window on each Execute, in which one working colour
// is shown at once in the basic and custom grids, the wheel, the R, G, B
// edits, the H, S, L (HSV) edits and the preview.
#include "colour/ColorModel.h"
#include "platform/Services.h"

#include <QFont>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QDialog;
class QPropertyAnimation;

namespace tp {

struct SkinData;
class TbsBusinessSkinForm;
class TbsColorViewer;
class TbsColorWheel;
class TbsEmptyControl;
class TbsSkinButton;
class TbsSkinColorGrid;
class TbsSkinCustomColorGrid;
class TbsSkinStdLabel;
class TbsSkinTrackEdit;
class TCodeEdit;
class TContrastPanel;

class TbsSkinColorDialog : public QObject {
    Q_OBJECT
public:
    TbsSkinColorDialog(const Services& services, QObject* owner = nullptr);
    ~TbsSkinColorDialog() override;

    // Published properties; they take effect at the next Execute.
    bool GroupBoxTransparentMode = false;
    TRGB Color;
    QString Caption = QStringLiteral("Set color");
    bool AlphaBlend = false;
    uint8_t AlphaBlendValue = 200;
    bool AlphaBlendAnimation = false;
    const tp::SkinData* SkinData = nullptr;     // the window's frame
    const tp::SkinData* CtrlSkinData = nullptr; // the controls and their captions
    QString ButtonSkinDataName = QStringLiteral("button");
    QString LabelSkinDataName = QStringLiteral("stdlabel");
    QString EditSkinDataName = QStringLiteral("edit");
    QFont DefaultLabelFont, DefaultButtonFont, DefaultEditFont;
    bool UseSkinFont = true;

    // The colours the contrast check offers as second colours besides black
    // and white (the main window's history slots).
    std::vector<TRGB> HistoryColors;

    // The custom grid's contents between two runs.
    std::array<TRGB, 12> CustomColors;
    int CustomColorNext = 0;

    // True when the window was closed with OK; Color, CustomColors and
    // CustomColorNext are then taken from it.
    bool Execute();

    // Runs the built window modally and returns its result (1 for OK). By
    // default the window's own modal loop; tests put a driver here.
    std::function<int(TbsSkinColorDialog&)> RunModal;

    // The controls of the window while one exists (inside Execute).
    struct Window {
        QDialog* form = nullptr;
        TbsBusinessSkinForm* skinForm = nullptr;
        TbsSkinColorGrid* basicGrid = nullptr;
        TbsSkinCustomColorGrid* customGrid = nullptr;
        TbsEmptyControl* wheelHost = nullptr;
        TbsColorWheel* wheel = nullptr;
        TbsSkinStdLabel *lblR = nullptr, *lblG = nullptr, *lblB = nullptr;
        TbsSkinStdLabel *lblH = nullptr, *lblS = nullptr, *lblL = nullptr;
        TbsSkinTrackEdit *edtR = nullptr, *edtG = nullptr, *edtB = nullptr;
        TbsSkinTrackEdit *edtH = nullptr, *edtS = nullptr, *edtL = nullptr;
        TbsColorViewer* preview = nullptr;
        TbsSkinButton *btnOK = nullptr, *btnCancel = nullptr, *btnAdd = nullptr;
        QPropertyAnimation* fadeIn = nullptr; // with AlphaBlendAnimation
        // The band below the controls: the working colour's code, and the
        // contrast check.
        TContrastPanel* contrast = nullptr;
        TbsSkinStdLabel* lblCode = nullptr;
        TCodeEdit* edtCode = nullptr;
    };
    const Window* window() const { return w_.get(); }

    TPSPColor& WheelColor() { return wheelColor_; }
    bool LockRGB = false, LockHSV = false, FromWheel = false;
    // The R, G, B edits are being set from the code edit, which keeps what
    // was typed (lower case included) until another view changes the colour.
    bool FromCode = false;

    // Handlers of the window's controls.
    void RGBEditsChanged();
    void HSVEditsChanged();
    void BasicGridChanged();
    void CustomGridChanged();
    void WheelToRGBEdits();
    void UpdateWheel(TRGB c);
    void AddButtonClick();
    void CodeEdited();
    void CodePasted(TRGB c);
    void PreviewChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWindow();
    void BuildBand();
    void GridChanged(TRGB c);
    void SetHSVEdits(TRGB c);
    QString caption(const char* key, const char* builtIn) const;

    Services services_;
    TPSPColor wheelColor_;
    std::unique_ptr<Window> w_;
};

} // namespace tp
