#include "history/DrawGrid.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace tp {

TbsSkinDrawGrid::TbsSkinDrawGrid(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TbsSkinDrawGrid::SetGridSize(int cols, int rows) {
    cols_ = cols;
    rows_ = rows;
    update();
}

void TbsSkinDrawGrid::SetCellSize(int width, int height) {
    colWidth_ = width;
    rowHeight_ = height;
    update();
}

void TbsSkinDrawGrid::SetGridLineColor(const QColor& c) {
    gridLineColor_ = c;
    update();
}

QRect TbsSkinDrawGrid::CellRect(int col, int row) const {
    return {col * (colWidth_ + GridLineWidth), row * (rowHeight_ + GridLineWidth), colWidth_,
            rowHeight_};
}

bool TbsSkinDrawGrid::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip && cellHint_) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QPoint cell = MouseCoord(help->pos());
        const QString hint = cell.x() >= 0 ? cellHint_(cell.x(), cell.y()) : QString();
        if (!hint.isEmpty()) {
            // Shown for this cell only: moving to the next one shows its own.
            QToolTip::showText(help->globalPos(), hint, this, CellRect(cell.x(), cell.y()));
            return true;
        }
    }
    return QWidget::event(e);
}

QPoint TbsSkinDrawGrid::MouseCoord(QPoint p) const {
    if (p.x() < 0 || p.y() < 0) return {-1, -1};
    const int c = p.x() / (colWidth_ + GridLineWidth);
    const int r = p.y() / (rowHeight_ + GridLineWidth);
    if (c >= cols_ || r >= rows_) return {-1, -1};
    return {c, r};
}

QRect TbsSkinDrawGrid::Selection() const {
    return QRect(QPoint(std::min(col_, anchorCol_), std::min(row_, anchorRow_)),
                 QPoint(std::max(col_, anchorCol_), std::max(row_, anchorRow_)));
}

bool TbsSkinDrawGrid::focusCell(int col, int row, bool keepAnchor) {
    col = std::clamp(col, 0, cols_ - 1);
    row = std::clamp(row, 0, rows_ - 1);
    bool can = true;
    if (selectCell_) selectCell_(col, row, can);
    if (!can) return false;
    col_ = col;
    row_ = row;
    if (!keepAnchor) {
        anchorCol_ = col;
        anchorRow_ = row;
    }
    update();
    return true;
}

void TbsSkinDrawGrid::moveAnchor(int col, int row) {
    col = std::clamp(col, 0, cols_ - 1);
    row = std::clamp(row, 0, rows_ - 1);
    if (col == anchorCol_ && row == anchorRow_) return;
    anchorCol_ = col;
    anchorRow_ = row;
    update();
}

void TbsSkinDrawGrid::SetCol(int col) {
    if (col != col_) focusCell(col, row_);
}

void TbsSkinDrawGrid::SetRow(int row) {
    if (row != row_) focusCell(col_, row);
}

void TbsSkinDrawGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), gridLineColor_);
    const QRect sel = Selection();
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < cols_; ++c) {
            const QRect cell = CellRect(c, r);
            int state = 0;
            // The focused cell is drawn as selected, focused or not.
            if (sel.contains(c, r)) state |= gdSelected;
            if (c == col_ && r == row_ && hasFocus()) state |= gdFocused;
            p.save();
            p.setClipRect(cell);
            if (drawCell_) drawCell_(p, c, r, cell, state);
            p.restore();
        }
}

void TbsSkinDrawGrid::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    const QPoint cell = MouseCoord(e->position().toPoint());
    if (cell.x() < 0) return;
    if (e->modifiers() & Qt::ShiftModifier) {
        moveAnchor(cell.x(), cell.y());
        return;
    }
    // A press on the current cell asks again: it may reload that cell.
    if (focusCell(cell.x(), cell.y())) selecting_ = true;
}

void TbsSkinDrawGrid::mouseMoveEvent(QMouseEvent* e) {
    if (!selecting_) return;
    const QPoint p = e->position().toPoint();
    const int c = std::clamp(p.x() / (colWidth_ + GridLineWidth), 0, cols_ - 1);
    const int r = std::clamp(p.y() / (rowHeight_ + GridLineWidth), 0, rows_ - 1);
    moveAnchor(p.x() < 0 ? 0 : c, p.y() < 0 ? 0 : r);
}

void TbsSkinDrawGrid::mouseReleaseEvent(QMouseEvent*) {
    selecting_ = false;
}

void TbsSkinDrawGrid::keyPressEvent(QKeyEvent* e) {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    // Shift moves the far end of the range, which starts at the current cell.
    int c = shift ? anchorCol_ : col_, r = shift ? anchorRow_ : row_;
    switch (e->key()) {
    case Qt::Key_Left:
        --c;
        break;
    case Qt::Key_Right:
        ++c;
        break;
    case Qt::Key_Up:
        --r;
        break;
    case Qt::Key_Down:
        ++r;
        break;
    case Qt::Key_PageUp:
        r = 0;
        break;
    case Qt::Key_PageDown:
        r = rows_ - 1;
        break;
    case Qt::Key_Home:
        c = 0;
        if (ctrl) r = 0;
        break;
    case Qt::Key_End:
        c = cols_ - 1;
        if (ctrl) r = rows_ - 1;
        break;
    default:
        QWidget::keyPressEvent(e);
        return;
    }
    if (shift) {
        moveAnchor(c, r);
        return;
    }
    c = std::clamp(c, 0, cols_ - 1);
    r = std::clamp(r, 0, rows_ - 1);
    if (c != col_ || r != row_ || anchorCol_ != col_ || anchorRow_ != row_) focusCell(c, r);
}

} // namespace tp
