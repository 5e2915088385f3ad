// The pick shortcut on Wayland: a Wayland client cannot see keys meant for
// other windows, so the desktop portal's GlobalShortcuts (xdg-desktop-portal
// 1.17 and later, where the desktop's own portal implements it) is asked to
// bind it. The desktop has the last word on the keys: the ones the user chose
// go as the preferred trigger, and the answer says what the desktop bound.
// Every step is asynchronous; the program goes on meanwhile.
#include "platform/DesktopNotification.h"
#include "platform/DesktopShortcuts.h"
#include "platform/PortalRules.h"
#include "platform/ShortcutKeys.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

namespace tp {

namespace {

const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString ShortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString SessionInterface = QStringLiteral("org.freedesktop.portal.Session");
const QString PickId = QStringLiteral("pick");
// A method's own answer comes at once (the user's comes later, as the
// Response of its Request); the call that starts the portal waits for it.
constexpr int CallTimeoutMs = 5000;
constexpr int CallAttempts = 3;
constexpr int RetryDelayMs = 1000;

// One entry of the portal's a(sa{sv}) lists of shortcuts.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& a, const PortalShortcut& s) {
    a.beginStructure();
    a << s.id << s.properties;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, PortalShortcut& s) {
    a.beginStructure();
    a >> s.id >> s.properties;
    a.endStructure();
    return a;
}

} // namespace
} // namespace tp

Q_DECLARE_METATYPE(tp::PortalShortcut)

namespace tp {

namespace {

// A D-Bus error that means the portal (or its GlobalShortcuts) is not there.
bool MeansNoPortal(const QString& name) {
    static const char* const names[] = {
        "org.freedesktop.DBus.Error.ServiceUnknown", "org.freedesktop.DBus.Error.NameHasNoOwner",
        "org.freedesktop.DBus.Error.UnknownInterface", "org.freedesktop.DBus.Error.UnknownObject",
        "org.freedesktop.DBus.Error.UnknownMethod"};
    for (const char* n : names)
        if (name == QLatin1String(n)) return true;
    return name.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn."));
}

class PortalGlobalShortcut final : public GlobalShortcut {
    Q_OBJECT
public:
    PortalGlobalShortcut()
        : bus_(SessionBusRunning() ? QDBusConnection::sessionBus()
                                   : QDBusConnection(QStringLiteral("none"))) {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        // QtDBus learns the object path's type only with its first message;
        // until then a signal with one cannot be subscribed to.
        qRegisterMetaType<QDBusObjectPath>();
        listening_ =
            bus_.isConnected() &&
            bus_.connect(PortalService, PortalPath, ShortcutsInterface, QStringLiteral("Activated"),
                         this, SLOT(Activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    }
    ~PortalGlobalShortcut() override { closeSession(); }

    void bind(const QString& portableKeys) override {
        keys_ = portableKeys;
        ++generation_;
        closeSession();
        if (const ShortcutState valid = CheckedShortcut(keys_);
            valid.kind != ShortcutState::Kind::Active) {
            state_ = valid;
            return;
        }
        if (!bus_.isConnected())
            return set(ShortcutState::Kind::Unavailable, ShortcutOutcome::Unavailable,
                       "没有 D-Bus 会话总线，无法向桌面注册取色快捷键。");
        if (!listening_)
            return set(ShortcutState::Kind::Unavailable, ShortcutOutcome::Unavailable,
                       "收不到桌面门户的快捷键信号，取色快捷键无法使用。");
        trigger_ = QString::fromStdString(PortalTrigger(*ParseShortcut(keys_.toStdString())));
        set(ShortcutState::Kind::Pending, ShortcutOutcome::Pending);
        createSession();
    }

    ShortcutState state() const override { return state_; }
    void setPaused(bool paused) override { paused_ = paused; }

public slots:
    void Activated(const QDBusObjectPath& session, const QString& id, qulonglong,
                   const QVariantMap&) {
        if (session.path() == session_ && id == PickId && !paused_) emit activated();
    }

    void SessionCreated(uint code, const QVariantMap& results) {
        if (!answered()) return;
        if (code != 0) return refused(code);
        // Older portals hand the session over as a string.
        const QVariant v = results.value(QStringLiteral("session_handle"));
        session_ = v.canConvert<QDBusObjectPath>() ? qvariant_cast<QDBusObjectPath>(v).path()
                                                   : v.toString();
        if (session_.isEmpty())
            return changed(ShortcutState::Kind::Failed, ShortcutOutcome::Refused,
                           "桌面的回答里没有会话。");
        bus_.connect(PortalService, session_, SessionInterface, QStringLiteral("Closed"), this,
                     SLOT(SessionClosed()));
        bus_.connect(PortalService, PortalPath, ShortcutsInterface,
                     QStringLiteral("ShortcutsChanged"), this,
                     SLOT(ShortcutsChanged(QDBusObjectPath, QDBusMessage)));
        bindShortcuts();
    }

    void ShortcutsBound(uint code, const QVariantMap& results) {
        if (!answered()) return;
        if (code != 0) return refused(code);
        takeShortcuts(results.value(QStringLiteral("shortcuts")));
    }

    void ShortcutsChanged(const QDBusObjectPath& session, const QDBusMessage& message) {
        if (session.path() != session_ || message.arguments().size() < 2) return;
        takeShortcuts(message.arguments().at(1));
    }

    void SessionClosed() {
        session_.clear();
        changed(ShortcutState::Kind::Failed, ShortcutOutcome::Refused,
                "桌面结束了快捷键的会话。在设置里再确定一次即可重新注册。");
    }

private:
    void set(ShortcutState::Kind kind, ShortcutOutcome o, const std::string& detail = {}) {
        state_ = StateOf(kind, o, keys_, detail);
    }
    void changed(ShortcutState::Kind kind, ShortcutOutcome o, const std::string& detail = {}) {
        set(kind, o, detail);
        emit stateChanged();
    }
    void refused(uint code) {
        changed(ShortcutState::Kind::Failed, ShortcutOutcome::Refused,
                code == 1 ? "在桌面的对话框里取消了。" : "桌面拒绝了。");
    }

    // Only the answer to the request in flight counts: one that comes after
    // a new bind() belongs to a session given up.
    bool answered() {
        if (request_.isEmpty()) return false;
        forgetRequest();
        return true;
    }
    void forgetRequest() {
        if (request_.isEmpty()) return;
        bus_.disconnect(PortalService, request_, RequestInterface, QStringLiteral("Response"), this,
                        slot_);
        request_.clear();
    }

    // Sends one method of the portal whose answer comes as the Response of a
    // Request; `slot` takes it. The Request's path is known before the call,
    // so the answer cannot come before anyone listens.
    void call(const QString& method, QList<QVariant> args, QVariantMap options, const char* slot,
              int attempt = 0) {
        const QString token =
            QStringLiteral("tintpick%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter_);
        options.insert(QStringLiteral("handle_token"), token);
        request_ = QString::fromStdString(
            PortalRequestPath(bus_.baseService().toStdString(), token.toStdString()));
        slot_ = slot;
        bus_.connect(PortalService, request_, RequestInterface, QStringLiteral("Response"), this,
                     slot);
        QDBusMessage m =
            QDBusMessage::createMethodCall(PortalService, PortalPath, ShortcutsInterface, method);
        m.setArguments(args + QList<QVariant>{options});
        // The call that starts the portal may go unanswered while it starts
        // its back ends (seen with 1.16 under sway): asked again, it answers.
        auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(m, CallTimeoutMs), this);
        const QString expected = request_;
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [=, this] {
            watcher->deleteLater();
            if (request_ != expected) return;
            const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
            if (reply.isError()) {
                forgetRequest();
                const QDBusError e = reply.error();
                if ((e.type() == QDBusError::NoReply || e.type() == QDBusError::Timeout) &&
                    attempt < CallAttempts - 1) {
                    const int generation = generation_;
                    QTimer::singleShot(RetryDelayMs, this, [=, this] {
                        if (generation == generation_)
                            call(method, args, options, slot, attempt + 1);
                    });
                    return;
                }
                if (MeansNoPortal(e.name()))
                    return changed(ShortcutState::Kind::Unavailable, ShortcutOutcome::NoPortal);
                return changed(ShortcutState::Kind::Failed, ShortcutOutcome::Refused,
                               e.message().toStdString());
            }
            // Portals from before handle_token answer on a path of their own.
            const QString got = reply.value().path();
            if (!got.isEmpty() && got != request_) {
                const char* awaited = slot_;
                forgetRequest();
                request_ = got;
                slot_ = awaited;
                bus_.connect(PortalService, request_, RequestInterface, QStringLiteral("Response"),
                             this, slot_);
            }
        });
    }

    void createSession() {
        QVariantMap options;
        options.insert(QStringLiteral("session_handle_token"),
                       QStringLiteral("tintpick%1").arg(++counter_));
        call(QStringLiteral("CreateSession"), {}, options, SLOT(SessionCreated(uint, QVariantMap)));
    }

    void bindShortcuts() {
        QVariantMap properties;
        properties.insert(QStringLiteral("description"), QStringLiteral("取色"));
        if (!trigger_.isEmpty()) properties.insert(QStringLiteral("preferred_trigger"), trigger_);
        const QList<PortalShortcut> shortcuts{{PickId, properties}};
        call(QStringLiteral("BindShortcuts"),
             {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts),
              QString()},
             {}, SLOT(ShortcutsBound(uint, QVariantMap)));
    }

    void takeShortcuts(const QVariant& v) {
        QList<PortalShortcut> list;
        if (v.canConvert<QDBusArgument>()) v.value<QDBusArgument>() >> list;
        for (const PortalShortcut& s : list) {
            if (s.id != PickId) continue;
            const std::string trigger =
                s.properties.value(QStringLiteral("trigger_description")).toString().toStdString();
            return changed(ShortcutState::Kind::Active, ShortcutOutcome::Active, trigger);
        }
        changed(ShortcutState::Kind::Failed, ShortcutOutcome::Refused, "桌面没有接受这个快捷键。");
    }

    void closeSession() {
        forgetRequest();
        if (session_.isEmpty()) return;
        bus_.disconnect(PortalService, session_, SessionInterface, QStringLiteral("Closed"), this,
                        SLOT(SessionClosed()));
        bus_.asyncCall(QDBusMessage::createMethodCall(PortalService, session_, SessionInterface,
                                                      QStringLiteral("Close")));
        session_.clear();
    }

    QDBusConnection bus_;
    QString keys_;
    QString trigger_;
    QString session_;
    QString request_; // the Request whose Response is awaited
    const char* slot_ = nullptr;
    int counter_ = 0;
    int generation_ = 0; // one more for each bind(): a retry of an older one is dropped
    bool paused_ = false;
    bool listening_ = false;
    ShortcutState state_;
};

} // namespace

std::unique_ptr<GlobalShortcut> CreatePortalGlobalShortcut() {
    return std::make_unique<PortalGlobalShortcut>();
}

} // namespace tp

#include "PortalGlobalShortcut.moc"
