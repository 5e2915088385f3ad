#pragma once
// The colour dialog's contrast check, a band below the dialog's controls:
// the WCAG ratio between the working colour and a second colour, its four
// marks, a sample of text in the one colour on the other, and the same pair
// as people with protanopia, deuteranopia and tritanopia see it, each with
// its ratio (marked where it falls below the level the pair itself passes).
// The second colour is black or white, whichever contrasts more with the
// working colour, until the user clicks a cell (black, white, a history
// slot), types or pastes one into its code edit, or swaps the two.
//
// The band's top-left corner (left of x 172, above y 34) is left free for
// the owner's code edit.
#include "colour/ColorTypes.h"
#include "platform/Services.h"

#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class QLabel;
class QToolButton;

namespace tp {

class TCodeEdit;

class TContrastPanel : public QWidget {
    Q_OBJECT
public:
    explicit TContrastPanel(const Services& services, QWidget* parent = nullptr);

    // The working colour.
    void SetColor(TRGB c);
    // The history slots offered as second colours, in slot order.
    void SetHistory(std::vector<TRGB> colours);

    // Cells: 0 black, 1 white, 2 + i history slot i. AutoCell (the start)
    // takes black or white, whichever contrasts more; OwnColor is a colour
    // typed, pasted or swapped in.
    static constexpr int AutoCell = -1;
    static constexpr int OwnColor = -2;
    void ChooseSecond(int cell);
    // A second colour of the user's own.
    void SetSecond(TRGB c);
    int Chosen() const { return chosen_; }
    TRGB Second() const;
    // The second colour as the user chose it, to start the next run with;
    // nothing while black or white is taken by itself.
    std::optional<TRGB> ChosenSecond() const;
    int CellCount() const { return 2 + int(history_.size()); }
    // Where a cell lies within cells().
    QRect CellRect(int cell) const;
    QWidget* cells() const { return cells_; }

signals:
    // The swap button: the second colour is to become the working colour,
    // and the working colour has become the second. The owner applies the
    // colour and hands it back through SetColor.
    void workingColorChosen(tp::TRGB colour);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    friend class TContrastCells;
    friend class TContrastSample;
    friend class TVisionPreview;
    void Refresh();
    void SecondCodeEdited();
    void Swap();

    QLabel* lblRatio;
    // AA normal text, AAA normal text, AA large text, AAA large text.
    std::array<QLabel*, 4> marks_{};
    QWidget* sample_;
    TRGB color_{};
    std::vector<TRGB> history_;
    int chosen_ = AutoCell;
    TRGB own_{};
    QWidget* cells_;
    TCodeEdit* edtSecond_;
    QToolButton* btnSwap_;
    std::array<QWidget*, 3> previews_{};
    bool fromSecondCode_ = false; // the second colour is being set from its edit
};

} // namespace tp
