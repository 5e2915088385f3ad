// The Windows build's cost of one eyedropper move through the whole move
// path (the swatch's move event: position, 32 x 24 read, pixel, every view
// refreshed, the magnifier redrawn) against one bare BitBlt of the same
// 32 x 24 area from the screen's DC into a 32-bit DIB section, measured
// alternately in the same run. Prints whether it ran under Wine, where GDI
// reads go to the X server. The reader's calls are timed on their way
// through, to split the move into the reader's part and the views'. Run it
// with bench/run_pick_move_win.sh.
#include "Timing.h"
#include "app/mainRGB.h"
#include "colour/Swatch.h"
#include "platform/QtScreenSource.h"
#include "support/Child.h"
#include "support/TestServices.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <vector>
#include <windows.h>

using namespace tp;
using bench::Median;
using bench::TimeUs;

namespace {

// "Wine 8.0" when running under Wine, else empty.
std::string WineVersion() {
    using Fn = const char*(__cdecl*)();
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return {};
    const auto fn =
        reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    return fn ? std::string("Wine ") + fn() : std::string();
}

// The baseline: what any GDI program pays for the magnifier's block, the
// screen DC, the memory DC and the DIB section made once beforehand.
class BareBlt {
public:
    BareBlt() : screen_(GetDC(nullptr)), mem_(CreateCompatibleDC(screen_)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = 32;
        bi.bmiHeader.biHeight = -24;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dib_ = CreateDIBSection(mem_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(mem_, dib_);
    }
    ~BareBlt() {
        SelectObject(mem_, old_);
        DeleteObject(dib_);
        DeleteDC(mem_);
        ReleaseDC(nullptr, screen_);
    }
    bool ok() const { return screen_ && mem_ && dib_ && bits_; }
    void grab(int x, int y) {
        BitBlt(mem_, 0, 0, 32, 24, screen_, x, y, SRCCOPY);
        GdiFlush();
    }

private:
    HDC screen_;
    HDC mem_;
    HBITMAP dib_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// Hands every call on to the real reader and keeps how long the move path
// spent in each, so that the reader's share of a move is told from the views'.
template <class F> auto Timed(double& into, F f) {
    const auto t0 = bench::Clock::now();
    auto v = f();
    into += bench::UsSince(t0);
    return v;
}

class TimedReader final : public ScreenSource {
public:
    explicit TimedReader(ScreenSource& r) : r_(r) {}
    mutable double sampleUs = 0, coversUs = 0, otherUs = 0;
    void reset() { sampleUs = coversUs = otherUs = 0; }

    QString unavailableReason() const override { return r_.unavailableReason(); }
    QPoint cursorPos() const override {
        return Timed(otherUs, [&] { return r_.cursorPos(); });
    }
    QPoint devicePosition(QPointF g) const override {
        return Timed(otherUs, [&] { return r_.devicePosition(g); });
    }
    void setCursorPos(QPoint p) override { r_.setCursorPos(p); }
    bool covers(QPoint p) const override {
        return Timed(coversUs, [&] { return r_.covers(p); });
    }
    std::optional<QRgb> pixel(QPoint p) override {
        return Timed(otherUs, [&] { return r_.pixel(p); });
    }
    QImage grab(const QRect& r) override {
        return Timed(otherUs, [&] { return r_.grab(r); });
    }
    CursorSample sampleAtCursor(QPointF hint, QSize size) override {
        return Timed(sampleUs, [&] { return r_.sampleAtCursor(hint, size); });
    }
    QRect primaryRect() const override { return r_.primaryRect(); }
    bool live() const override { return r_.live(); }
    bool picksOnOverlay() const override { return r_.picksOnOverlay(); }

private:
    ScreenSource& r_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int moves = argc > 1 ? std::atoi(argv[1]) : 2000;
    if (moves <= 0) {
        std::fprintf(stderr, "usage: pick_move_win [MOVES]\n");
        return 2;
    }
    BareBlt bare;
    if (!bare.ok()) {
        std::fprintf(stderr, "pick_move_win: no screen DC\n");
        return 2;
    }

    // The seams the move path does not touch are the tests' fakes.
    test::TestServices fakes;
    std::unique_ptr<ScreenSource> screen = CreateScreenSource();
    if (!screen) {
        std::fprintf(stderr, "pick_move_win: no screen reader\n");
        return 2;
    }
    TimedReader timed(*screen);
    Services s = fakes.services();
    s.screen = &timed;
    TfrmMain frm(s);
    frm.show();
    QApplication::processEvents();
    QWidget* swatch = test::Child(&frm, "lblColor");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(swatch, &press);

    const QSize desk = QGuiApplication::primaryScreen()->geometry().size();
    // Real moves come with the pointer already there: put it there first,
    // outside the timed part.
    auto putPointer = [](int x, int y) { SetCursorPos(x, y); };
    auto move = [&](int x, int y) {
        QMouseEvent e(QEvent::MouseMove, QPointF(5, 5), QPointF(x, y), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
        QApplication::sendEvent(swatch, &e);
    };

    std::vector<double> raw, path, pathPaint, sample, pixel, inSample, inCovers, inOther, inRest;
    std::vector<double> cursor, area, covers;
    for (int i = 0; i < moves; ++i) {
        // Walk over the desktop so that every move changes colour and views.
        const int x = 40 + (i * 7) % (desk.width() - 80);
        const int y = 40 + (i * 3) % (desk.height() - 80);
        raw.push_back(TimeUs([&] { bare.grab(x - 16, y - 12); }));
        putPointer(x, y);
        timed.reset();
        path.push_back(TimeUs([&] { move(x, y); }));
        inSample.push_back(timed.sampleUs);
        inCovers.push_back(timed.coversUs);
        inOther.push_back(timed.otherUs);
        inRest.push_back(path.back() - timed.sampleUs - timed.coversUs - timed.otherUs);
        // The repaints the move asked for, as the event loop would run them.
        putPointer(x + 1, y);
        pathPaint.push_back(TimeUs([&] {
            move(x + 1, y);
            QApplication::processEvents();
        }));
        // The reader's own parts of a move, to tell them from the views'.
        if (i % 4 == 0) {
            sample.push_back(TimeUs([&] { screen->sampleAtCursor(QPointF(x, y), QSize(32, 24)); }));
            pixel.push_back(TimeUs([&] { screen->pixel(QPoint(x, y)); }));
            cursor.push_back(TimeUs([&] { screen->cursorPos(); }));
            area.push_back(TimeUs([&] { screen->grab(QRect(x - 16, y - 12, 32, 24)); }));
            covers.push_back(TimeUs([&] { screen->covers(QPoint(x, y)); }));
        }
    }
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(swatch, &release);
    QApplication::processEvents();

    const std::string wine = WineVersion();
    const double r = Median(raw);
    std::printf("pick_move_win: %d moves on Windows%s%s, medians in microseconds\n", moves,
                wine.empty() ? "" : " under ", wine.c_str());
    std::printf("  bare BitBlt 32x24 into a DIB (baseline) %8.1f\n", r);
    std::printf("  move path, GDI reader                   %8.1f   ratio %.2f\n", Median(path),
                Median(path) / r);
    std::printf("  move path + repaint, GDI reader         %8.1f   ratio %.2f\n", Median(pathPaint),
                Median(pathPaint) / r);
    std::printf("  the reader's 32x24 sample alone         %8.1f   ratio %.2f\n", Median(sample),
                Median(sample) / r);
    std::printf("  the reader's one pixel alone            %8.1f   ratio %.2f\n", Median(pixel),
                Median(pixel) / r);
    std::printf("  the reader's cursor position alone      %8.1f   ratio %.2f\n", Median(cursor),
                Median(cursor) / r);
    std::printf("  the reader's 32x24 grab alone           %8.1f   ratio %.2f\n", Median(area),
                Median(area) / r);
    std::printf("  the reader's monitor test alone         %8.1f   ratio %.2f\n", Median(covers),
                Median(covers) / r);
    std::printf("  of the move path: the sample %.1f, the monitor test %.1f, other reads %.1f,"
                " the rest (the views) %.1f\n",
                Median(inSample), Median(inCovers), Median(inOther), Median(inRest));
    return 0;
}
