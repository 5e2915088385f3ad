#pragma once
// The main window: the manual colour controls, the history slots, the
// magnifier and the pick swatch, and the buttons that lead to every other
// window. Its components, its pick state and its handlers are its own
// (mainRGB_p.h); callers see the current colour, the history and the few
// moments of a run that concern them.
#include "base/Rgb.h"
#include "history/HistoryRing.h"
#include "platform/Services.h"

#include <QWidget>

#include <memory>

namespace tp {

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMain(const Services& services, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The one current colour, as every view shows it.
    TRGB CurrentColour() const;
    // A colour picked in another process (`tintpick --pick`, to which a
    // desktop's keys may be bound): into the history, and the current colour
    // unless a pick is under way here; copied as the pick shortcut copies.
    void TakeColour(TRGB c);
    // The sixteen history slots and their two positions.
    const HistoryRing& History() const;

    // Another start of the program asked for the window: it comes to the
    // front, from the tray if need be.
    void ComeForward();
    // The desktop session or the display ends while the window is open:
    // keep the picks (may run from exit() or another thread).
    void SessionEnding();
    // The window has closed, and with it the run: the history is written.
    bool IsClosed() const;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Private;
    friend struct Private;
    std::unique_ptr<Private> d;
};

} // namespace tp
