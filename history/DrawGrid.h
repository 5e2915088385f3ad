#pragma once
// An owner-drawn grid of equal cells, the skin's draw grid: it paints
// nothing but its grid lines and asks its owner to draw every cell, and it
// asks before the current cell changes. Range selection follows the usual
// grid rules: a plain press or an arrow key moves the current cell (and
// collapses the range onto it); dragging, Shift-clicking and Shift with an
// arrow key move only the other end of the range.
#include <QColor>
#include <QWidget>

#include <functional>

namespace tp {

class TbsSkinDrawGrid : public QWidget {
    Q_OBJECT
public:
    enum DrawState { gdSelected = 1, gdFocused = 2 };

    explicit TbsSkinDrawGrid(QWidget* parent = nullptr);

    int ColCount = 5, RowCount = 5;
    int DefaultColWidth = 64, DefaultRowHeight = 24;
    int GridLineWidth = 1;
    QColor GridLineColor{0xC0, 0xDC, 0xC0};

    int Col() const { return col_; }
    int Row() const { return row_; }
    // Moving the current cell by program: the select-cell event is raised
    // only when the column (or row) actually changes.
    void SetCol(int col);
    void SetRow(int row);
    // The selected range, inclusive, as left/top/right/bottom cells.
    QRect Selection() const;
    QRect CellRect(int col, int row) const;
    // The cell under a point of the widget, or (-1, -1).
    QPoint MouseCoord(QPoint p) const;

    // Owner hooks: draw one cell (the painter is clipped to it), and decide
    // whether a cell may become current.
    std::function<void(QPainter&, int col, int row, const QRect& rect, int state)> OnDrawCell;
    std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
    // The hint shown while the pointer rests on a cell, in place of the
    // grid's own; an empty one keeps the grid's.
    std::function<QString(int col, int row)> OnCellHint;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Moves the current cell through the select-cell event; the range
    // collapses onto it unless keepAnchor.
    bool focusCell(int col, int row, bool keepAnchor = false);
    void moveAnchor(int col, int row);

    int col_ = 0, row_ = 0;
    int anchorCol_ = 0, anchorRow_ = 0;
    bool selecting_ = false;
};

} // namespace tp
