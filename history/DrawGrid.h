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
#include <utility>

namespace tp {

class TbsSkinDrawGrid : public QWidget {
    Q_OBJECT
public:
    enum DrawState { gdSelected = 1, gdFocused = 2 };

    explicit TbsSkinDrawGrid(QWidget* parent = nullptr);

    int ColCount() const { return cols_; }
    int RowCount() const { return rows_; }
    void SetGridSize(int cols, int rows);
    // Every cell's size, grid lines excluded.
    void SetCellSize(int width, int height);
    void SetGridLineColor(const QColor& c);

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
    using DrawCellHook =
        std::function<void(QPainter&, int col, int row, const QRect& rect, int state)>;
    using SelectCellHook = std::function<void(int col, int row, bool& canSelect)>;
    // The hint shown while the pointer rests on a cell, in place of the
    // grid's own; an empty one keeps the grid's.
    using CellHintHook = std::function<QString(int col, int row)>;
    void SetOnDrawCell(DrawCellHook hook) { drawCell_ = std::move(hook); }
    void SetOnSelectCell(SelectCellHook hook) { selectCell_ = std::move(hook); }
    void SetOnCellHint(CellHintHook hook) { cellHint_ = std::move(hook); }

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

    static constexpr int GridLineWidth = 1;
    int cols_ = 5, rows_ = 5;
    int colWidth_ = 64, rowHeight_ = 24;
    QColor gridLineColor_{0xC0, 0xDC, 0xC0};
    DrawCellHook drawCell_;
    SelectCellHook selectCell_;
    CellHintHook cellHint_;
    int col_ = 0, row_ = 0;
    int anchorCol_ = 0, anchorRow_ = 0;
    bool selecting_ = false;
};

} // namespace tp
