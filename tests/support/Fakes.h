#pragma once
// Stand-ins for the platform seams and the skinned message box: each keeps
// what it was asked to do in memory, so widget tests and benchmarks can look.
#include "library/MessageBox.h"
#include "platform/Beeper.h"
#include "platform/Clipboard.h"
#include "platform/ErrorReporter.h"
#include "platform/GlobalShortcut.h"
#include "platform/ScreenSource.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "platform/TrayHost.h"

#include <QImage>
#include <QMap>
#include <QStringList>

#include <vector>

namespace tp {

// Serves a synthetic desktop image for tests; the desktop's top-left device
// pixel is at `origin` (negative for monitors left of or above the primary).
class FakeScreenSource final : public ScreenSource {
public:
    explicit FakeScreenSource(QImage desktop, QPoint origin = {}, QRect primary = {})
        : desktop_(std::move(desktop)), origin_(origin),
          primary_(primary.isNull() ? QRect(origin, desktop_.size()) : primary) {}
    QString unavailableReason() const override { return reason; }
    QPoint cursorPos() const override { return cursor; }
    void setCursorPos(QPoint p) override { cursor = p; }
    bool covers(QPoint p) const override { return desktop_.rect().contains(p - origin_); }
    std::optional<QRgb> pixel(QPoint p) override {
        const QPoint local = p - origin_;
        if (!desktop_.rect().contains(local)) return std::nullopt;
        return desktop_.pixel(local);
    }
    QImage grab(const QRect& r) override {
        QImage out(r.size(), QImage::Format_RGB32);
        out.fill(Qt::black);
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x)
                if (auto c = pixel(r.topLeft() + QPoint(x, y))) out.setPixel(x, y, *c);
        ++grabs;
        return out;
    }
    QRect primaryRect() const override { return primary_; }
    bool live() const override { return !frozen; }
    bool picksOnOverlay() const override { return overlay; }
    // The whole desktop image as one monitor at scale 1, or `freezeError`.
    FreezeResult freezeDesktop(bool allowColourPicker) override {
        ++freezes;
        FreezeResult r;
        if (allowColourPicker && colourPickerAnswer) {
            r.pickedColour = colourPickerAnswer;
            return r;
        }
        if (!freezeError.isEmpty()) {
            r.error = freezeError;
            return r;
        }
        const PixRect all{origin_.x(), origin_.y(), desktop_.width(), desktop_.height()};
        r.frame = DesktopFrame{desktop_, origin_, {Monitor{all, 1.0, all}}};
        return r;
    }

    QImage& desktop() { return desktop_; }
    // A reader that sees only the pictures it takes; one that picks on an
    // overlay; what freezing gives instead of a picture.
    bool frozen = false;
    bool overlay = false;
    QString freezeError;
    std::optional<QRgb> colourPickerAnswer;
    int freezes = 0;
    QPoint cursor;
    QString reason;
    int grabs = 0;

private:
    QImage desktop_;
    QPoint origin_;
    QRect primary_;
};

// Keeps the text in memory and counts the writes.
class FakeClipboard final : public Clipboard {
public:
    void setText(const QString& text) override {
        text_ = text;
        ++writes;
    }
    QString text() const override { return text_; }
    int writes = 0;

private:
    QString text_;
};

class FakeShell final : public Shell {
public:
    bool openUrl(const QString& url) override {
        opened << url;
        return true;
    }
    QStringList opened;
};

// A tray host that comes and goes as the test says.
class FakeTrayHost final : public TrayHost {
public:
    bool available() const override { return present; }
    bool present = true;
};

class FakeBeeper final : public Beeper {
public:
    void beep() override { ++count; }
    int count = 0;
};

class RecordingErrorReporter final : public ErrorReporter {
public:
    void showError(const QString& message) override { messages << message; }
    void showMessage(const QString& message) override { plainMessages << message; }
    void reportAtExit(const QString& message) override { exitMessages << message; }
    QStringList messages;
    QStringList plainMessages;
    QStringList exitMessages;
};

// Settings held in memory for one test.
class FakeSettings final : public Settings {
public:
    QString value(const QString& key) const override { return values.value(key); }
    void setValue(const QString& key, const QString& value) override { values[key] = value; }
    QMap<QString, QString> values;
};

// A pick shortcut that takes any keys but those the test says another
// program holds; `press()` is the user pressing the bound keys.
class FakeGlobalShortcut final : public GlobalShortcut {
public:
    void bind(const QString& keys) override {
        binds << keys;
        bound = keys;
    }
    ShortcutState state() const override {
        if (!unavailable.isEmpty()) return {ShortcutState::Kind::Unavailable, unavailable};
        if (bound.isEmpty()) return {ShortcutState::Kind::Off, QStringLiteral("off")};
        if (taken.contains(bound)) return {ShortcutState::Kind::Failed, bound + " taken"};
        return {ShortcutState::Kind::Active, bound + " works"};
    }
    void setPaused(bool p) override { paused = p; }
    void press() {
        if (!paused && state().kind == ShortcutState::Kind::Active) emit activated();
    }
    QStringList binds;
    QString bound;
    QStringList taken;
    QString unavailable;
    bool paused = false;
};

// A stand-in for tests: records every call and answers from a script.
class RecordingSkinMessage : public TbsSkinMessage {
public:
    using TbsSkinMessage::TbsSkinMessage;
    struct Call {
        QString text;
        int kind;
        int buttons;
    };
    int ShowMessageBox(const QString& text, int kind, int buttons, int) override {
        calls.push_back({text, kind, buttons});
        return answer;
    }
    std::vector<Call> calls;
    int answer = 1;
};

} // namespace tp
