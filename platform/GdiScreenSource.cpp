#include "platform/GdiScreenSource.h"

#include <QGuiApplication>
#include <QObject>
#include <QScreen>

#include <cstring>
#include <vector>

#include <windows.h>

namespace tp {

namespace {

// Areas up to this many pixels are copied through the kept section; a larger
// one (the whole desktop, frozen once per pick) gets a section of its own,
// freed at once, rather than holding that much memory for the reader's life.
constexpr qint64 KeptSectionPixels = 256 * 256;

// A top-down 32-bit DIB section: its rows are Format_RGB32's rows.
HBITMAP NewSection(HDC dc, QSize size, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.width();
    info.bmiHeader.biHeight = -size.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (dib && !*bits) {
        DeleteObject(dib);
        return nullptr;
    }
    return dib;
}

} // namespace

// The screen's device context, taken once and held for the reader's life, a
// memory context for the copies with the kept section selected into it, and
// the monitors' rectangles as last read.
struct GdiScreenSource::Dc {
    HDC screen = nullptr;
    HDC memory = nullptr;
    HGDIOBJ memoryDefault = nullptr;
    HBITMAP section = nullptr;
    void* sectionBits = nullptr;
    QSize sectionSize;
    std::vector<RECT> monitors;
    bool monitorsRead = false;
    // Qt's signals about the screens land here; it dies with the reader.
    QObject screenWatch;

    ~Dc() {
        if (memory && memoryDefault) SelectObject(memory, memoryDefault);
        if (section) DeleteObject(section);
        if (memory) DeleteDC(memory);
        if (screen) ReleaseDC(nullptr, screen);
    }

    // The kept section at `size`, selected into the memory context; made
    // anew only when the size changes. False when it cannot be made.
    bool keptSection(QSize size) {
        if (section && sectionSize == size) return true;
        void* bits = nullptr;
        HBITMAP fresh = NewSection(memory, size, &bits);
        if (!fresh) return false;
        const HGDIOBJ old = SelectObject(memory, fresh);
        if (!memoryDefault) memoryDefault = old;
        if (section) DeleteObject(section);
        section = fresh;
        sectionBits = bits;
        sectionSize = size;
        return true;
    }

    const std::vector<RECT>& monitorRects() {
        if (monitorsRead) return monitors;
        monitors.clear();
        EnumDisplayMonitors(
            nullptr, nullptr,
            [](HMONITOR m, HDC, LPRECT, LPARAM into) -> BOOL {
                MONITORINFO info{};
                info.cbSize = sizeof info;
                if (GetMonitorInfoW(m, &info))
                    reinterpret_cast<std::vector<RECT>*>(into)->push_back(info.rcMonitor);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&monitors));
        monitorsRead = true;
        return monitors;
    }

    // Any change of screens Qt hears of (it follows the system's display
    // messages) makes the next monitor test read the monitors again.
    void watchScreens() {
        auto stale = [this] { monitorsRead = false; };
        auto watch = [this, stale](QScreen* s) {
            QObject::connect(s, &QScreen::geometryChanged, &screenWatch, stale);
            // A new resolution at a new scale can leave the logical geometry as it was.
            QObject::connect(s, &QScreen::logicalDotsPerInchChanged, &screenWatch, stale);
        };
        for (QScreen* s : QGuiApplication::screens())
            watch(s);
        auto* app = qGuiApp;
        if (!app) return;
        QObject::connect(app, &QGuiApplication::screenAdded, &screenWatch,
                         [stale, watch](QScreen* s) {
                             stale();
                             watch(s);
                         });
        QObject::connect(app, &QGuiApplication::screenRemoved, &screenWatch, stale);
        QObject::connect(app, &QGuiApplication::primaryScreenChanged, &screenWatch, stale);
    }
};

std::unique_ptr<GdiScreenSource> GdiScreenSource::create() {
    auto dc = std::make_unique<Dc>();
    dc->screen = GetDC(nullptr);
    if (!dc->screen) return nullptr;
    dc->memory = CreateCompatibleDC(dc->screen);
    if (!dc->memory) return nullptr;
    dc->watchScreens();
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
    const POINT p{devicePos.x(), devicePos.y()};
    for (const RECT& r : dc_->monitorRects())
        if (PtInRect(&r, p)) return true;
    return false;
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
    const QSize size = deviceRect.size();
    const bool kept = qint64(size.width()) * size.height() <= KeptSectionPixels;
    HBITMAP own = nullptr;
    HGDIOBJ previous = nullptr;
    void* bits = nullptr;
    if (kept) {
        if (!dc_->keptSection(size)) return out;
        bits = dc_->sectionBits;
    } else {
        own = NewSection(dc_->memory, size, &bits);
        if (!own) return out;
        previous = SelectObject(dc_->memory, own);
    }
    const auto rowBytes = static_cast<size_t>(size.width()) * 4;
    // Parts of the rectangle no monitor shows stay black: BitBlt leaves them
    // as they were, so the kept section is cleared first (a new one starts
    // zeroed).
    if (kept) std::memset(bits, 0, rowBytes * static_cast<size_t>(size.height()));
    const bool copied = BitBlt(dc_->memory, 0, 0, size.width(), size.height(), dc_->screen,
                               deviceRect.left(), deviceRect.top(), SRCCOPY) != 0;
    GdiFlush();
    if (copied) {
        const auto* src = static_cast<const uchar*>(bits);
        for (int y = 0; y < size.height(); ++y) {
            uchar* row = out.scanLine(y);
            std::memcpy(row, src + static_cast<size_t>(y) * rowBytes, rowBytes);
            // GDI leaves the fourth byte undefined; Qt wants it opaque.
            for (size_t x = 3; x < rowBytes; x += 4)
                row[x] = 0xFF;
        }
    }
    if (own) {
        SelectObject(dc_->memory, previous);
        DeleteObject(own);
    }
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
