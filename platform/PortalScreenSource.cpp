#include "platform/PortalScreenSource.h"

#include "platform/PortalRules.h"
#include "platform/QtScreenSource.h"

#include <QCursor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <optional>

#include <unistd.h>

namespace tp {

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString ScreenshotInterface = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString StoreService = QStringLiteral("org.freedesktop.impl.portal.PermissionStore");
const QString StorePath = QStringLiteral("/org/freedesktop/impl/portal/PermissionStore");

// What the permission store holds for screenshots by a program outside a
// sandbox, whose application id is empty.
ScreenshotPermission LookUpPermission(QDBusConnection& bus) {
    QDBusMessage call = QDBusMessage::createMethodCall(StoreService, StorePath, StoreService,
                                                       QStringLiteral("Lookup"));
    call << QStringLiteral("screenshot") << QStringLiteral("screenshot");
    const QDBusMessage reply = bus.call(call, QDBus::Block, 3000);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return reply.errorName() == QLatin1String("org.freedesktop.portal.Error.NotFound")
                   ? ScreenshotPermission::NotAsked
                   : ScreenshotPermission::Unknown;
    if (reply.arguments().isEmpty()) return ScreenshotPermission::Unknown;
    QMap<QString, QStringList> entries;
    const QDBusArgument arg = reply.arguments().at(0).value<QDBusArgument>();
    arg >> entries;
    std::optional<std::vector<std::string>> ours;
    if (entries.contains(QString())) {
        ours.emplace();
        for (const QString& v : entries.value(QString()))
            ours->push_back(v.toStdString());
    }
    return PermissionFromEntry(ours);
}

// Where the desktop may be asking the user for permission, its dialog takes
// the keyboard from the program's windows (GNOME's is modal to the whole
// desktop) and gives it back when it closes. Back with no answer, and with
// nothing stored a moment later, the dialog closed unanswered:
// xdg-desktop-portal 1.16 gives up on it after the 25 s of a D-Bus call and
// leaves the request open without a Response, so an "Allow" clicked later
// reaches nobody.
class DialogWatch : public QObject {
public:
    DialogWatch(QEventLoop& loop, QDBusConnection& bus) : loop_(loop), bus_(bus) {
        connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
            if (!w) {
                away_ = true;
                grace_.stop();
            } else if (away_) {
                away_ = false;
                grace_.start();
            }
        });
        // Time for the portal to store an answer and take the picture.
        grace_.setSingleShot(true);
        grace_.setInterval(3000);
        connect(&grace_, &QTimer::timeout, this, [this] {
            if (LookUpPermission(bus_) == ScreenshotPermission::NotAsked) loop_.quit();
        });
    }

private:
    QEventLoop& loop_;
    QDBusConnection& bus_;
    QTimer grace_;
    bool away_ = false;
};

// Receives the Response signal of one request.
class ResponseCatcher : public QObject {
    Q_OBJECT
public:
    // Runs until the answer comes (or something else quits it).
    QEventLoop& loop() { return loop_; }
    bool answered() const { return answered_; }
    uint code() const { return code_; }
    const QVariantMap& results() const { return results_; }

public slots:
    void Response(uint response, const QVariantMap& r) {
        if (answered_) return;
        answered_ = true;
        code_ = response;
        results_ = r;
        loop_.quit();
    }

private:
    QEventLoop loop_;
    bool answered_ = false;
    uint code_ = 2;
    QVariantMap results_;
};

struct PortalAnswer {
    PortalStatus status = PortalStatus::BadReply;
    QString detail;
    uint code = 2;
    QVariantMap results;
    qint64 elapsedMs = 0; // from the call to the Response
};

// How long a request may take: timeoutMs as a rule. Where the desktop may
// be asking the user, askingTimeoutMs, or until the desktop's dialog has
// closed without an answer.
struct Patience {
    int timeoutMs = 30000;
    bool userMayBeAsked = false;
    int askingTimeoutMs = 120000;
};

PortalStatus StatusOfError(const QDBusMessage& reply) {
    const QString name = reply.errorName();
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
        name == QLatin1String("org.freedesktop.DBus.Error.Spawn.ServiceNotFound") ||
        name.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn.")))
        return PortalStatus::NoPortal;
    if (name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
        name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject"))
        return PortalStatus::NoScreenshot;
    if (name == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
        name == QLatin1String("org.freedesktop.DBus.Error.Timeout"))
        return PortalStatus::Timeout;
    if (name == QLatin1String("org.freedesktop.portal.Error.NotAllowed"))
        return PortalStatus::Refused;
    return PortalStatus::Unsupported;
}

// Calls one method of the Screenshot interface and waits for the Response
// of the Request it starts.
PortalAnswer CallScreenshotPortal(const QString& method, QVariantMap options,
                                  const Patience& patience) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return {PortalStatus::NoBus, {}, 2, {}, 0};
    const int timeoutMs = patience.timeoutMs;
    QElapsedTimer clock;
    clock.start();
    static int counter = 0;
    const QString token =
        QStringLiteral("tintpick%1_%2").arg(static_cast<qint64>(::getpid())).arg(++counter);
    options.insert(QStringLiteral("handle_token"), token);
    const QString expected = QString::fromStdString(
        PortalRequestPath(bus.baseService().toStdString(), token.toStdString()));
    ResponseCatcher catcher;
    // Subscribed before the call: the answer may come before the call returns.
    bus.connect(PortalService, expected, RequestInterface, QStringLiteral("Response"), &catcher,
                SLOT(Response(uint, QVariantMap)));

    QDBusMessage call =
        QDBusMessage::createMethodCall(PortalService, PortalPath, ScreenshotInterface, method);
    call << QString() << options;
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    PortalAnswer out;
    if (reply.type() == QDBusMessage::ErrorMessage) {
        out.status = StatusOfError(reply);
        out.detail = reply.errorMessage();
        if (out.status == PortalStatus::Timeout)
            out.detail = QString::number((timeoutMs + 999) / 1000);
        bus.disconnect(PortalService, expected, RequestInterface, QStringLiteral("Response"),
                       &catcher, SLOT(Response(uint, QVariantMap)));
        return out;
    }
    // Portals older than the handle_token scheme answer on a path of their own.
    QString handle = expected;
    if (!reply.arguments().isEmpty()) {
        const QString got = qvariant_cast<QDBusObjectPath>(reply.arguments().at(0)).path();
        if (!got.isEmpty() && got != expected) {
            handle = got;
            bus.connect(PortalService, handle, RequestInterface, QStringLiteral("Response"),
                        &catcher, SLOT(Response(uint, QVariantMap)));
        }
    }
    if (!catcher.answered()) {
        // The desktop's permission dialog gets a person's time, not the cut
        // for a portal that does not answer.
        const int wait = patience.userMayBeAsked ? patience.askingTimeoutMs : timeoutMs;
        QTimer::singleShot(std::max(0, wait - static_cast<int>(clock.elapsed())), &catcher.loop(),
                           &QEventLoop::quit);
        std::optional<DialogWatch> watch;
        if (patience.userMayBeAsked) watch.emplace(catcher.loop(), bus);
        // Input is held back meanwhile: a second press on the swatch must not
        // start a second request.
        catcher.loop().exec(QEventLoop::ExcludeUserInputEvents);
    }
    for (const QString& path : {expected, handle})
        bus.disconnect(PortalService, path, RequestInterface, QStringLiteral("Response"), &catcher,
                       SLOT(Response(uint, QVariantMap)));
    if (!catcher.answered()) {
        // Withdraw the request, so that a dialog the desktop may show goes away.
        bus.call(QDBusMessage::createMethodCall(PortalService, handle, RequestInterface,
                                                QStringLiteral("Close")),
                 QDBus::NoBlock);
        out.status = patience.userMayBeAsked ? PortalStatus::NotAnswered : PortalStatus::Timeout;
        out.detail = QString::number((timeoutMs + 999) / 1000);
        return out;
    }
    out.status = PortalStatus::Ok;
    out.code = catcher.code();
    out.results = catcher.results();
    out.elapsedMs = clock.elapsed();
    return out;
}

QString Message(PortalStatus s, const QString& detail = {}) {
    return QString::fromStdString(PortalMessage(s, detail.toStdString()));
}

// The desktop's own colour picker, where it has one.
std::optional<QRgb> PickColourWithDesktop(int timeoutMs, QString& error) {
    // The user picks with the desktop's own tool: that takes a person's time.
    const PortalAnswer a =
        CallScreenshotPortal(QStringLiteral("PickColor"), {}, {timeoutMs, true, 120000});
    if (a.status != PortalStatus::Ok) {
        error = Message(a.status, a.detail);
        return std::nullopt;
    }
    if (a.code != 0) {
        error = Message(a.code == 1 ? PortalStatus::Cancelled : PortalStatus::Refused);
        return std::nullopt;
    }
    const QVariant v = a.results.value(QStringLiteral("color"));
    if (!v.canConvert<QDBusArgument>()) {
        error = Message(PortalStatus::BadReply);
        return std::nullopt;
    }
    double r = 0, g = 0, b = 0;
    const QDBusArgument arg = v.value<QDBusArgument>();
    arg.beginStructure();
    arg >> r >> g >> b;
    arg.endStructure();
    const auto bytes = PortalColourBytes(r, g, b);
    return qRgb(bytes[0], bytes[1], bytes[2]);
}

} // namespace

PortalScreenSource::PortalScreenSource(bool overlayPick) : overlay_(overlayPick) {
    keepFiles_ = qEnvironmentVariable("TINTPICK_KEEP_SCREENSHOTS") == QLatin1String("1");
}

FreezeResult PortalScreenSource::freezeDesktop(bool allowColourPicker) {
    FreezeResult r;
    QElapsedTimer clock;
    clock.start();
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Asked first, because the first request on GNOME puts the desktop's own
    // dialog up: the wait must then allow a person's time, and an answer
    // that leaves the permission unset means nobody answered it.
    RequestContext context;
    context.desktop = DesktopOf(qEnvironmentVariable("XDG_CURRENT_DESKTOP").toStdString());
    context.before = bus.isConnected() ? LookUpPermission(bus) : ScreenshotPermission::Unknown;
    QVariantMap options;
    options.insert(QStringLiteral("interactive"), false);
    options.insert(QStringLiteral("modal"), false);
    const PortalAnswer a =
        CallScreenshotPortal(QStringLiteral("Screenshot"), options,
                             {TimeoutMs, PermissionDialogMayShow(context.before), AskingTimeoutMs});
    PortalStatus status = a.status;
    QString detail = a.detail;
    std::string path;
    if (status == PortalStatus::Ok) {
        std::optional<std::string> uri;
        if (a.results.contains(QStringLiteral("uri")))
            uri = a.results.value(QStringLiteral("uri")).toString().toStdString();
        context.elapsedMs = a.elapsedMs;
        context.after = a.code != 0 && PermissionDialogMayShow(context.before)
                            ? LookUpPermission(bus)
                            : context.before;
        const ScreenshotAnswer s = InterpretScreenshotResponse(a.code, uri, context);
        status = s.status;
        path = s.path;
    }
    if (status != PortalStatus::Ok) {
        if (allowColourPicker && PickColorMayHelp(status)) {
            QString pickError;
            r.pickedColour = PickColourWithDesktop(TimeoutMs, pickError);
            if (r.pickedColour) return r;
        }
        r.error = Message(status, detail);
        return r;
    }
    const qint64 replied = clock.nsecsElapsed() / 1000;

    const QString file = QString::fromStdString(path);
    QImageReader reader(file);
    QImage image = reader.read();
    // The picture was written for this one request; the user did not ask for
    // a file, so none is left behind, readable or not.
    if (!keepFiles_) QFile::remove(file);
    if (image.isNull()) {
        r.error =
            Message(PortalStatus::Unreadable, file + QStringLiteral("：") + reader.errorString());
        return r;
    }
    if (image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1.0);
    lastTiming_ = {replied, clock.nsecsElapsed() / 1000 - replied};

    std::vector<PixRect> screens;
    for (QScreen* s : QGuiApplication::screens())
        screens.push_back(ToPix(s->geometry()));
    auto monitors = MonitorsInFrame(screens, image.width(), image.height());
    if (!monitors) {
        r.error = Message(PortalStatus::FrameMismatch,
                          QStringLiteral("%1 × %2").arg(image.width()).arg(image.height()));
        return r;
    }
    frame_ = DesktopFrame{std::move(image), QPoint(0, 0), std::move(*monitors)};
    r.frame = frame_;
    return r;
}

QPoint PortalScreenSource::devicePosition(QPointF g) const {
    if (auto d = GlobalToDevice(frame_.monitors, g.x(), g.y())) return ToQt(*d);
    return g.toPoint();
}

QPoint PortalScreenSource::cursorPos() const {
    return devicePosition(QCursor::pos());
}

void PortalScreenSource::setCursorPos(QPoint devicePos) {
    if (auto l = DeviceToCursor(frame_.monitors, ToPix(devicePos))) QCursor::setPos(ToQt(*l));
}

bool PortalScreenSource::covers(QPoint devicePos) const {
    return OnSomeMonitor(frame_.monitors, ToPix(devicePos));
}

std::optional<QRgb> PortalScreenSource::pixel(QPoint devicePos) {
    if (!covers(devicePos)) return std::nullopt;
    return frame_.image.pixel(devicePos - frame_.origin) | 0xFF000000u;
}

QImage PortalScreenSource::grab(const QRect& deviceRect) {
    QImage out(deviceRect.size(), QImage::Format_RGB32);
    if (out.isNull()) return out;
    out.fill(Qt::black);
    for (const Monitor& m : frame_.monitors) {
        const QRect part = deviceRect.intersected(ToQt(m.device));
        for (int y = part.top(); y <= part.bottom(); ++y)
            for (int x = part.left(); x <= part.right(); ++x)
                out.setPixel(x - deviceRect.left(), y - deviceRect.top(),
                             frame_.image.pixel(QPoint(x, y) - frame_.origin));
    }
    return out;
}

ScreenSource::CursorSample PortalScreenSource::sampleAtCursor(QPointF hint, QSize size) {
    const QPoint c = devicePosition(hint);
    return {c, grab(QRect(c - QPoint(size.width() / 2, size.height() / 2), size))};
}

QRect PortalScreenSource::primaryRect() const {
    const QList<QScreen*> screens = QGuiApplication::screens();
    const qsizetype i = screens.indexOf(QGuiApplication::primaryScreen());
    if (i < 0 || static_cast<size_t>(i) >= frame_.monitors.size()) return {};
    return ToQt(frame_.monitors[static_cast<size_t>(i)].device);
}

} // namespace tp

#include "PortalScreenSource.moc"
