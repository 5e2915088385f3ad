// The pick shortcut through the desktop portal's GlobalShortcuts, against a
// stand-in portal on the private session bus this test runs in
// (dbus-run-session): Debian 12's portal has no GlobalShortcuts to try.
#include "platform/DesktopShortcuts.h"
#include "platform/PortalRules.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Shortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& a, const Shortcut& s) {
    a.beginStructure();
    a << s.id << s.properties;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, Shortcut& s) {
    a.beginStructure();
    a >> s.id >> s.properties;
    a.endStructure();
    return a;
}

} // namespace

Q_DECLARE_METATYPE(Shortcut)

namespace {

const QString Service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString Path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Interface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// Answers CreateSession and BindShortcuts as a desktop that grants them (or
// refuses the binding, or has no GlobalShortcuts at all), over a connection
// of its own.
class FakePortal final : public QDBusVirtualObject {
public:
    FakePortal() : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal")) {
        qDBusRegisterMetaType<Shortcut>();
        qDBusRegisterMetaType<QList<Shortcut>>();
        EXPECT_TRUE(bus_.registerService(Service));
        EXPECT_TRUE(bus_.registerVirtualObject(Path, this, QDBusConnection::SubPath));
    }
    ~FakePortal() override {
        bus_.unregisterObject(Path, QDBusConnection::UnregisterTree);
        bus_.unregisterService(Service);
        QDBusConnection::disconnectFromBus("portal");
    }

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& m, const QDBusConnection&) override {
        calls << m.member();
        if (m.interface() == QLatin1String("org.freedesktop.portal.Session")) {
            bus_.send(m.createReply());
            return true;
        }
        if (withoutShortcuts) {
            // What xdg-desktop-portal 1.16 answers.
            bus_.send(m.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                                         QStringLiteral("No such interface")));
            return true;
        }
        if (unanswered > 0) {
            // A portal still starting its back ends: the call is lost.
            --unanswered;
            return true;
        }
        const QVariantMap options = qdbus_cast<QVariantMap>(m.arguments().last());
        const QString request = QString::fromStdString(tp::PortalRequestPath(
            m.service().toStdString(),
            options.value(QStringLiteral("handle_token")).toString().toStdString()));
        bus_.send(m.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QVariantMap results;
        uint code = 0;
        if (m.member() == QLatin1String("CreateSession")) {
            session = Path + QStringLiteral("/session/") + m.service().mid(1).replace('.', '_') +
                      QLatin1Char('/') +
                      options.value(QStringLiteral("session_handle_token")).toString();
            results.insert(QStringLiteral("session_handle"), session);
        } else {
            m.arguments().at(1).value<QDBusArgument>() >> asked;
            QList<Shortcut> bound;
            for (Shortcut s : asked) {
                s.properties.insert(QStringLiteral("trigger_description"),
                                    QStringLiteral("Ctrl+Alt+K"));
                bound << s;
            }
            results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(bound));
            code = refuseBinding ? 2 : 0;
        }
        QDBusMessage response = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << code << results;
        bus_.send(response);
        return true;
    }

    void activate(const QString& id) {
        QDBusMessage s = QDBusMessage::createSignal(Path, Interface, QStringLiteral("Activated"));
        s << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(1) << QVariantMap();
        bus_.send(s);
    }

    bool withoutShortcuts = false;
    bool refuseBinding = false;
    int unanswered = 0;
    QStringList calls;
    QString session;
    QList<Shortcut> asked;

private:
    QDBusConnection bus_;
};

using Kind = tp::ShortcutState::Kind;

bool WaitFor(tp::GlobalShortcut& s, Kind kind, int ms = 5000) {
    return QTest::qWaitFor([&] { return s.state().kind == kind; }, ms);
}

} // namespace

TEST(PortalShortcut, TheDesktopBindsTheKeysAndTheirPressPicks) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run inside dbus-run-session";
    FakePortal portal;
    auto shortcut = tp::CreatePortalGlobalShortcut();
    QSignalSpy pressed(shortcut.get(), &tp::GlobalShortcut::activated);
    shortcut->bind(QStringLiteral("Ctrl+Alt+C"));
    EXPECT_EQ(shortcut->state().kind, Kind::Pending);
    ASSERT_TRUE(WaitFor(*shortcut, Kind::Active)) << shortcut->state().text.toStdString();
    ASSERT_EQ(portal.asked.size(), 1);
    EXPECT_EQ(portal.asked[0].properties.value(QStringLiteral("preferred_trigger")).toString(),
              QStringLiteral("CTRL+ALT+c"));
    // The desktop has the last word on the keys, and the user is told its.
    EXPECT_TRUE(shortcut->state().text.contains(QStringLiteral("Ctrl+Alt+K")))
        << shortcut->state().text.toStdString();

    portal.activate(QStringLiteral("pick"));
    EXPECT_TRUE(pressed.wait(5000));
    shortcut->setPaused(true);
    portal.activate(QStringLiteral("pick"));
    EXPECT_FALSE(pressed.wait(300)) << "a press while the keys are being chosen";

    shortcut->bind(QString());
    EXPECT_EQ(shortcut->state().kind, Kind::Off);
    EXPECT_TRUE(QTest::qWaitFor([&] { return portal.calls.contains(QStringLiteral("Close")); }))
        << "the session ends with the shortcut";

    portal.refuseBinding = true;
    shortcut->bind(QStringLiteral("Ctrl+Alt+C"));
    ASSERT_TRUE(WaitFor(*shortcut, Kind::Failed));
    EXPECT_TRUE(shortcut->state().text.contains(QStringLiteral("桌面拒绝了")))
        << shortcut->state().text.toStdString();
}

TEST(PortalShortcut, APortalWithoutGlobalShortcutsSaysWhereToBindThePick) {
    FakePortal portal;
    portal.withoutShortcuts = true;
    auto shortcut = tp::CreatePortalGlobalShortcut();
    shortcut->bind(QStringLiteral("Ctrl+Alt+C"));
    ASSERT_TRUE(WaitFor(*shortcut, Kind::Unavailable)) << shortcut->state().text.toStdString();
    EXPECT_TRUE(shortcut->state().text.contains(QStringLiteral("tintpick --pick")));
}

TEST(PortalShortcut, ACallThePortalMissesWhileStartingIsAskedAgain) {
    FakePortal portal;
    portal.unanswered = 1;
    auto shortcut = tp::CreatePortalGlobalShortcut();
    shortcut->bind(QStringLiteral("Ctrl+Alt+C"));
    EXPECT_TRUE(WaitFor(*shortcut, Kind::Active, 15000)) << shortcut->state().text.toStdString();
    EXPECT_EQ(portal.calls.count(QStringLiteral("CreateSession")), 2);
}
