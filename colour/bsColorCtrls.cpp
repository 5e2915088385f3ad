#include "colour/bsColorCtrls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>

#include <algorithm>
#include <cmath>

namespace tp {

namespace {

QColor ToQColor(TRGB c) {
    return QColor(c.r, c.g, c.b);
}

QRect ToQRect(const grid::Box& b) {
    return QRect(b.left, b.top, b.width(), b.height());
}

// One 32-bit pixel of an RGB32 image.
inline uint32_t Pixel(TRGB c) {
    return 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

// The plate drawn behind a highlighted cell when the skin has no picture for it.
const QColor PlateFill(133, 147, 181);
const QColor PlateOutline(0, 0, 128);

} // namespace

// ---- cell grids ------------------------------------------------------------

TbsColorCellGrid::TbsColorCellGrid(const QString& caption, int cols, int rows, QWidget* parent)
    : TbsSkinGroupBox(caption, parent), cols_(cols), rows_(rows) {
    resize(280, 115);
}

void TbsColorCellGrid::SetRowCount(int v) {
    if (v < 1) return;
    rows_ = v;
    update();
}

void TbsColorCellGrid::SetColCount(int v) {
    if (v < 1) return;
    cols_ = v;
    update();
}

grid::Box TbsColorCellGrid::CellArea() const {
    QStyleOptionGroupBox opt;
    initStyleOption(&opt);
    const QRect r =
        style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxContents, this);
    // The style's contents area starts under the frame's top line, which
    // runs through the middle of the caption; the cells go below the caption.
    const QRect label =
        style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, this);
    const int top = title().isEmpty() ? r.top() : std::max(r.top(), label.top() + label.height());
    return {r.left(), top, r.left() + r.width(), r.top() + r.height()};
}

grid::CellLayout TbsColorCellGrid::Layout() const {
    return grid::LayoutCells(CellArea(), cols_, rows_);
}

int TbsColorCellGrid::CellAtPoint(int x, int y) const {
    return grid::CellAt(Layout(), x, y, CellCount());
}

void TbsColorCellGrid::paintEvent(QPaintEvent* e) {
    TbsSkinGroupBox::paintEvent(e);
    QPainter p(this);
    const grid::CellLayout g = Layout();
    for (int r = 0; r < g.rows; ++r) {
        for (int c = 0; c < g.cols; ++c) {
            const int n = r * g.cols + c;
            // A grid set larger than its colour table leaves the extra cells empty.
            if (n >= CellCount()) continue;
            const bool lit = CellHighlighted(n);
            if (lit) {
                const QRect plate = ToQRect(grid::PlateBox(g, r, c));
                p.fillRect(plate, PlateFill);
                p.setPen(PlateOutline);
                p.setBrush(Qt::NoBrush);
                p.drawRect(plate.adjusted(0, 0, -1, -1));
            }
            const grid::Box s = grid::SwatchBox(g, r, c, lit);
            if (s.width() > 0 && s.height() > 0) p.fillRect(ToQRect(s), ToQColor(CellColor(n)));
        }
    }
}

void TbsColorCellGrid::mousePressEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    const int n = CellAtPoint(pt.x(), pt.y());
    if (n >= 0) CellPressed(n);
}

TbsSkinColorGrid::TbsSkinColorGrid(QWidget* parent)
    : TbsColorCellGrid(QStringLiteral("Basic colors"), 12, 4, parent) {}

void TbsSkinColorGrid::SetColorValue(TRGB c) {
    colorValue_ = c;
    if (grid::IsBasicColor(c)) {
        emit OnChange(this);
        update();
    }
}

TRGB TbsSkinColorGrid::CellColor(int n) const {
    return grid::BasicColors[static_cast<size_t>(n)];
}

bool TbsSkinColorGrid::CellHighlighted(int n) const {
    return CellColor(n) == colorValue_;
}

void TbsSkinColorGrid::CellPressed(int n) {
    SetColorValue(CellColor(n));
}

TbsSkinCustomColorGrid::TbsSkinCustomColorGrid(QWidget* parent)
    : TbsColorCellGrid(QStringLiteral("Custom colors"), 6, 2, parent) {}

void TbsSkinCustomColorGrid::SetSlot(int n, TRGB c) {
    slots_.SetSlot(n, c);
    update();
}

void TbsSkinCustomColorGrid::SetNextSlot(int n) {
    slots_.SetNextSlot(n);
}

void TbsSkinCustomColorGrid::AddColor(TRGB c) {
    slots_.AddColor(c);
    update();
}

void TbsSkinCustomColorGrid::CellPressed(int n) {
    colorValue_ = CellColor(n);
    selectedSlot_ = n + 1;
    update();
    emit OnChange(this);
}

// ---- preview ---------------------------------------------------------------

TbsColorViewer::TbsColorViewer(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TbsColorViewer::SetColorValue(TRGB c) {
    if (c == colorValue_) return;
    colorValue_ = c;
    update();
    emit changed();
}

void TbsColorViewer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(colorValue_));
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// ---- wheel -----------------------------------------------------------------

TbsEmptyControl::TbsEmptyControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TbsColorWheel::TbsColorWheel(TPSPColor& color, QWidget* parent)
    : QWidget(parent), color_(color), picture_(wheel::Size, wheel::Size, QImage::Format_RGB32) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(wheel::Size, wheel::Size);
    picture_.fill(palette().color(QPalette::Button));
}

void TbsColorWheel::DrawWheel() {
    ringHues_ = wheel::BuildRingHues();
    uint32_t ringPixels[360];
    for (size_t i = 0; i < 360; ++i)
        ringPixels[i] = Pixel(ringHues_[i]);

    if (paintBackground_)
        paintBackground_(picture_);
    else
        picture_.fill(palette().color(QPalette::Button));

    for (int y = 0; y < wheel::Size; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(picture_.scanLine(y));
        for (int x = 0; x < wheel::Size; ++x) {
            const int i = wheel::RingHueIndex(x, y);
            if (i >= 0) line[x] = ringPixels[i];
        }
    }
    RedrawSquare();
    ToggleMarkers();
    update();
}

void TbsColorWheel::RedrawSquare() {
    const double hue = color_.Hue();
    for (int y = wheel::SquareLow; y <= wheel::SquareHigh; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(picture_.scanLine(y));
        const double l = double(y - wheel::SquareLow) / wheel::SquareSpan;
        for (int x = wheel::SquareLow; x <= wheel::SquareHigh; ++x)
            line[x] = Pixel(HSLToRGB(hue, double(x - wheel::SquareLow) / wheel::SquareSpan, l));
    }
    squareHue_ = hue;
    ++squareDraws_;
}

void TbsColorWheel::toggleMarkerAt(wheel::Point c) {
    // A white pen in XOR mode: each outline pixel is inverted, so the same
    // drawing a second time restores the picture exactly.
    for (const wheel::Point& d : wheel::MarkerOutline()) {
        const int x = c.x + d.x, y = c.y + d.y;
        if (x < 0 || y < 0 || x >= wheel::Size || y >= wheel::Size) continue;
        reinterpret_cast<uint32_t*>(picture_.scanLine(y))[x] ^= 0x00FFFFFFu;
    }
}

void TbsColorWheel::ToggleMarkers() {
    toggleMarkerAt(wheel::SquareMarker(color_.Saturation(), color_.Lightness()));
    toggleMarkerAt(wheel::HueMarker(color_.Hue()));
}

void TbsColorWheel::UpdateWheel(TRGB c) {
    ToggleMarkers();
    color_.SetRGB(c);
    // Same hue, same square: only the markers move.
    if (color_.Hue() != squareHue_) RedrawSquare();
    ToggleMarkers();
    update();
}

void TbsColorWheel::ApplyPosition(int x, int y) {
    switch (wheelPart_) {
    case wheel::wpRing: {
        const uint8_t hue = wheel::RingHueByte(x, y);
        if (hue == color_.HueByte()) return;
        ToggleMarkers();
        color_.SetHSLBytes(hue, color_.SaturationByte(), color_.LightnessByte());
        emit changed();
        RedrawSquare();
        ToggleMarkers();
        update();
        break;
    }
    case wheel::wpSquare: {
        const wheel::SquareBytes b = wheel::SquareBytesAt(x, y);
        ToggleMarkers();
        color_.SetHSLBytes(color_.HueByte(), b.saturation, b.lightness);
        emit changed();
        ToggleMarkers();
        update();
        break;
    }
    case wheel::wpNone:
        break;
    }
}

void TbsColorWheel::MouseDown(Qt::MouseButton button, int x, int y) {
    wheelPart_ = wheel::PartAt(x, y);
    if (button == Qt::LeftButton) ApplyPosition(x, y);
}

void TbsColorWheel::MouseMove(Qt::MouseButtons buttons, int x, int y) {
    if (buttons & Qt::LeftButton) ApplyPosition(x, y);
}

void TbsColorWheel::MouseUp(Qt::MouseButton button, int x, int y) {
    if (button == Qt::LeftButton) ApplyPosition(x, y);
    wheelPart_ = wheel::wpNone;
}

namespace {
QPoint PicturePixel(const QMouseEvent* e) {
    const QPointF p = e->position();
    return QPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}
} // namespace

void TbsColorWheel::mousePressEvent(QMouseEvent* e) {
    const QPoint p = PicturePixel(e);
    MouseDown(e->button(), p.x(), p.y());
}

void TbsColorWheel::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = PicturePixel(e);
    MouseMove(e->buttons(), p.x(), p.y());
}

void TbsColorWheel::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = PicturePixel(e);
    MouseUp(e->button(), p.x(), p.y());
}

void TbsColorWheel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, picture_);
}

} // namespace tp
