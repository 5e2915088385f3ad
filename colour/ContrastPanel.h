#pragma once
// The colour dialog's contrast check, a band below the dialog's controls:
// the WCAG ratio between the working colour and a second colour, its four
// marks, a sample of text in the one colour on the other, and the cells
// that choose the second colour (black, white, the history slots). Until a
// cell is clicked the second colour is black or white, whichever contrasts
// more with the working colour.
//
// The band's top-left corner (left of x 172, above y 34) is left free for
// the owner's code edit.
#include "colour/ColorTypes.h"

#include <QWidget>

#include <array>
#include <vector>

class QLabel;

namespace tp {

class TContrastPanel : public QWidget {
    Q_OBJECT
public:
    explicit TContrastPanel(QWidget* parent = nullptr);

    // The working colour.
    void SetColor(TRGB c);
    // The history slots offered as second colours, in slot order.
    void SetHistory(std::vector<TRGB> colours);

    // Cells: 0 black, 1 white, 2 + i history slot i. AutoCell (the start)
    // takes black or white, whichever contrasts more.
    static constexpr int AutoCell = -1;
    void ChooseSecond(int cell);
    int Chosen() const { return chosen_; }
    TRGB Second() const;
    int CellCount() const { return 2 + int(history_.size()); }
    // Where a cell lies within cells().
    QRect CellRect(int cell) const;
    QWidget* cells() const { return cells_; }

    QLabel* lblRatio;
    // AA normal text, AAA normal text, AA large text, AAA large text.
    std::array<QLabel*, 4> marks{};
    QWidget* sample;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    friend class TContrastCells;
    friend class TContrastSample;
    void Refresh();

    TRGB color_{};
    std::vector<TRGB> history_;
    int chosen_ = AutoCell;
    QWidget* cells_;
};

} // namespace tp
