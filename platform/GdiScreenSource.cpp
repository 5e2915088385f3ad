#include "platform/GdiScreenSource.h"

#include <cstring>

#include <windows.h>

namespace tp {

// The screen's device context, taken once and held for the reader's life,
// and a memory context for the copies.
struct GdiScreenSource::Dc {
    HDC screen = nullptr;
    HDC memory = nullptr;
    ~Dc() {
        if (memory) DeleteDC(memory);
        if (screen) ReleaseDC(nullptr, screen);
    }
};

std::unique_ptr<GdiScreenSource> GdiScreenSource::create() {
    auto dc = std::make_unique<Dc>();
    dc->screen = GetDC(nullptr);
    if (!dc->screen) return nullptr;
    dc->memory = CreateCompatibleDC(dc->screen);
    if (!dc->memory) return nullptr;
    return std::unique_ptr<GdiScreenSource>(new GdiScreenSource(std::move(dc)));
}

GdiScreenSource::GdiScreenSource(std::unique_ptr<Dc> dc) : dc_(std::move(dc)) {}
GdiScreenSource::~GdiScreenSource() = default;

QPoint GdiScreenSource::cursorPos() const {
    POINT p{};
    if (!GetCursorPos(&p)) return QtScreenSource::cursorPos();
    return {p.x, p.y};
}

void GdiScreenSource::setCursorPos(QPoint devicePos) {
    SetCursorPos(devicePos.x(), devicePos.y());
}

bool GdiScreenSource::covers(QPoint devicePos) const {
    return MonitorFromPoint(POINT{devicePos.x(), devicePos.y()}, MONITOR_DEFAULTTONULL) != nullptr;
}

std::optional<QRgb> GdiScreenSource::pixel(QPoint devicePos) {
    if (!covers(devicePos)) return std::nullopt;
    const COLORREF c = GetPixel(dc_->screen, devicePos.x(), devicePos.y());
    if (c == CLR_INVALID) return std::nullopt;
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

QImage GdiScreenSource::grab(const QRect& deviceRect) {
    QImage out(deviceRect.size(), QImage::Format_RGB32);
    if (out.isNull()) return out;
    out.fill(Qt::black);
    // A top-down 32-bit DIB section: its rows are Format_RGB32's rows.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = deviceRect.width();
    info.bmiHeader.biHeight = -deviceRect.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc_->memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) return out;
    const HGDIOBJ previous = SelectObject(dc_->memory, dib);
    // Parts of the rectangle no monitor shows stay black: the section starts
    // zeroed and BitBlt leaves them so.
    const bool copied = BitBlt(dc_->memory, 0, 0, deviceRect.width(), deviceRect.height(),
                               dc_->screen, deviceRect.left(), deviceRect.top(), SRCCOPY) != 0;
    GdiFlush();
    if (copied) {
        const auto rowBytes = static_cast<size_t>(deviceRect.width()) * 4;
        const auto* src = static_cast<const uchar*>(bits);
        for (int y = 0; y < deviceRect.height(); ++y) {
            uchar* row = out.scanLine(y);
            std::memcpy(row, src + static_cast<size_t>(y) * rowBytes, rowBytes);
            // GDI leaves the fourth byte undefined; Qt wants it opaque.
            for (size_t x = 3; x < rowBytes; x += 4)
                row[x] = 0xFF;
        }
    }
    SelectObject(dc_->memory, previous);
    DeleteObject(dib);
    return out;
}

QRect GdiScreenSource::primaryRect() const {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

FreezeResult GdiScreenSource::freezeDesktop(bool) {
    FreezeResult r;
    const QRect all(GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                    GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    QImage image = all.isEmpty() ? QImage() : grab(all);
    if (image.isNull()) {
        r.error = QStringLiteral("无法读取屏幕。");
        return r;
    }
    r.frame = DesktopFrame{std::move(image), all.topLeft(), QtMonitors()};
    return r;
}

} // namespace tp
