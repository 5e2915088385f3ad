#pragma once
// The advanced colour dialog: a component that lives with its owner and
// builds a fresh modal window on each Execute, in which one working colour
// is shown at once in the basic and custom grids, the wheel, the R, G, B
// edits, the H, S, L (HSV) edits and the preview. The window's controls
// carry object names (basicGrid, customGrid, wheel, edtR ... edtL, preview,
// btnOK, btnCancel, btnAdd, edtCode) for whoever drives it.
#include "colour/ColorTypes.h"
#include "platform/Services.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace tp {

struct SkinData;

class TbsSkinColorDialog : public QObject {
    Q_OBJECT
public:
    explicit TbsSkinColorDialog(const Services& services, QObject* owner = nullptr);
    ~TbsSkinColorDialog() override;

    // What the next Execute shows, and after one closed with OK, what it
    // gave.
    TRGB Color() const;
    void SetColor(TRGB c);
    // The window's title ("Set color" until set).
    void SetCaption(const QString& caption);
    // A translucent window (off by default): its opacity, faded in or not.
    void SetAlphaBlend(bool on, uint8_t value = 200, bool animation = false);
    // The skin of the window's frame and the one its controls take their
    // captions from; null falls back to the services' skin and to the
    // built-in English captions.
    void SetSkinData(const SkinData* frame, const SkinData* controls);
    // The colours the contrast check offers as second colours besides black
    // and white (the main window's history slots).
    void SetHistoryColors(std::vector<TRGB> colours);
    // The contrast check's second colour as the user last chose it (kept
    // from one run to the next, whether it closed with OK or not); nothing
    // while it is black or white taken by itself.
    std::optional<TRGB> ContrastColor() const;
    // The custom grid's contents between two runs, and the slot written
    // last (0 before the first).
    const std::array<TRGB, 12>& CustomColors() const;
    int CustomColorNext() const;

    // Builds the window and runs it modally (through the services' modal
    // runner where one is set). True when it closed with OK: Color,
    // CustomColors and CustomColorNext are then taken from it.
    bool Execute();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace tp
