#pragma once
// The controls of the advanced colour dialog: the basic and custom colour
// grids, the preview swatch, and the colour wheel (a hue ring around a
// saturation/lightness square, drawn pixel by pixel into a bitmap).
#include "colour/ColorGridLayout.h"
#include "colour/ColorModel.h"
#include "colour/WheelGeometry.h"
#include "skin/Controls.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <functional>

namespace tp {

// What the cell grids share: a captioned group box whose inside is divided
// into ColCount x RowCount cells.
class TbsColorCellGrid : public TbsSkinGroupBox {
    Q_OBJECT
public:
    int RowCount() const { return rows_; }
    int ColCount() const { return cols_; }
    // Values below 1 are ignored.
    void SetRowCount(int v);
    void SetColCount(int v);
    TRGB ColorValue() const { return colorValue_; }

    // The area inside the frame and caption, in the grid's pixels.
    grid::Box CellArea() const;
    grid::CellLayout Layout() const;
    // The cell a press at (x, y) chooses, or -1.
    int CellAtPoint(int x, int y) const;

signals:
    void OnChange(tp::TbsColorCellGrid* sender);

protected:
    TbsColorCellGrid(const QString& caption, int cols, int rows, QWidget* parent);
    virtual int CellCount() const = 0;
    virtual TRGB CellColor(int n) const = 0;
    virtual bool CellHighlighted(int n) const = 0;
    virtual void CellPressed(int n) = 0;

    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

    TRGB colorValue_;

private:
    int cols_, rows_;
};

// 48 fixed colours. Writing a basic colour to ColorValue reports it through
// OnChange and moves the highlight; any other colour is only stored.
class TbsSkinColorGrid : public TbsColorCellGrid {
    Q_OBJECT
public:
    explicit TbsSkinColorGrid(QWidget* parent = nullptr);
    void SetColorValue(TRGB c);

protected:
    int CellCount() const override { return 48; }
    TRGB CellColor(int n) const override;
    bool CellHighlighted(int n) const override;
    void CellPressed(int n) override;
};

// Twelve slots the user fills with AddColor; a pressed slot is highlighted
// and reported.
class TbsSkinCustomColorGrid : public TbsColorCellGrid {
    Q_OBJECT
public:
    explicit TbsSkinCustomColorGrid(QWidget* parent = nullptr);
    void SetColorValue(TRGB c) { colorValue_ = c; }

    // Slots are numbered 1..12.
    TRGB Slot(int n) const { return slots_.slot(n); }
    void SetSlot(int n, TRGB c);
    int NextSlot() const { return slots_.NextSlot(); }
    void SetNextSlot(int n);
    // The highlighted slot, 1-based; 0 for none.
    int SelectedSlot() const { return selectedSlot_; }
    void SetSelectedSlot(int n) { selectedSlot_ = n; }
    const grid::CustomColorSlots& Slots() const { return slots_; }

    // Writes the colour into the slot after the one written last.
    void AddColor(TRGB c);

protected:
    int CellCount() const override { return grid::CustomSlotCount; }
    TRGB CellColor(int n) const override { return slots_.slot(n + 1); }
    bool CellHighlighted(int n) const override { return n + 1 == selectedSlot_; }
    void CellPressed(int n) override;

private:
    grid::CustomColorSlots slots_;
    int selectedSlot_ = 0;
};

// The preview swatch: the whole area in the colour, with a black outline.
class TbsColorViewer : public QWidget {
    Q_OBJECT
public:
    explicit TbsColorViewer(QWidget* parent = nullptr);
    TRGB ColorValue() const { return colorValue_; }
    void SetColorValue(TRGB c);

signals:
    // The colour shown changed.
    void changed();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TRGB colorValue_;
};

// A windowed host that paints nothing, so that what it holds is all that
// shows.
class TbsEmptyControl : public QWidget {
    Q_OBJECT
public:
    explicit TbsEmptyControl(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override {}
};

// The wheel picture. It edits a TPSPColor it does not own (the dialog's) and
// says changed() after each change the user makes on it.
class TbsColorWheel : public QWidget {
    Q_OBJECT
public:
    TbsColorWheel(TPSPColor& color, QWidget* parent = nullptr);

    // Paints the ring, the square and the markers for the current colour.
    void DrawWheel();
    // The saturation/lightness square for the current hue.
    void RedrawSquare();
    // Draws both markers with the XOR pen, or removes them when drawn.
    void ToggleMarkers();
    // The colour changed elsewhere: move the markers and, when the hue
    // changed, repaint the square.
    void UpdateWheel(TRGB c);

    // Mouse handling in picture pixels; the Qt events come through these.
    void MouseDown(Qt::MouseButton button, int x, int y);
    void MouseMove(Qt::MouseButtons buttons, int x, int y);
    void MouseUp(Qt::MouseButton button, int x, int y);

    // Fills the picture before the ring is drawn; by default with the
    // button face colour.
    void SetBackgroundPainter(std::function<void(QImage&)> paint) { paintBackground_ = paint; }
    const std::function<void(QImage&)>& BackgroundPainter() const { return paintBackground_; }

    // The part a press started a drag in, until the release.
    wheel::WheelPart WheelPart() const { return wheelPart_; }
    void ResetWheelPart() { wheelPart_ = wheel::wpNone; }

    const QImage& Picture() const { return picture_; }
    TPSPColor& Color() { return color_; }
    // How often the square was painted (the square is costly; tests check
    // that it is repainted only when the hue changes).
    int SquareDraws() const { return squareDraws_; }

signals:
    // The user changed the colour on the wheel.
    void changed();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    void ApplyPosition(int x, int y);
    void toggleMarkerAt(wheel::Point centre);

    TPSPColor& color_;
    std::function<void(QImage&)> paintBackground_;
    wheel::WheelPart wheelPart_ = wheel::wpNone;
    std::array<TRGB, 360> ringHues_{};
    QImage picture_;
    double squareHue_ = -1;
    int squareDraws_ = 0;
};

} // namespace tp
