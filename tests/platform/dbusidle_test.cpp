// Idle time from the session bus, on a bus of the test's own (a private
// dbus-daemon) where stand-ins for the desktop's services answer, or fail
// to, from a thread of their own, as another program would.
#include "platform/qt/dbusidlesource.h"
#include "platform/qt/idlesources.h"
#include "support/testenv.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

namespace quillory {
namespace {

// One method of one interface, answered with `idle` as the type the real
// service gives, or refused as GNOME's screen saver refuses it.
class IdleService final : public QDBusVirtualObject {
public:
    IdleService(QString interface, QString method, bool wide)
        : m_interface(std::move(interface))
        , m_method(std::move(method))
        , m_wide(wide)
    {
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.interface() != m_interface || message.member() != m_method)
            return false;
        const qint64 value = idle;
        if (value < 0)
            connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.NotSupported"),
                QStringLiteral("This desktop does not tell the idle time")));
        else if (m_wide)
            connection.send(message.createReply(QVariant::fromValue(static_cast<quint64>(value))));
        else
            connection.send(message.createReply(QVariant::fromValue(static_cast<quint32>(value))));
        return true;
    }
    std::atomic<qint64> idle = 0;

private:
    QString m_interface;
    QString m_method;
    bool m_wide;
};

// A private bus and the desktop's services on it, served from their thread.
class PrivateDesktop {
public:
    PrivateDesktop()
    {
        test::writeBytes(m_dir.file("bus.conf"),
            "<busconfig><type>session</type><listen>unix:dir=" + m_dir.path()
                + "</listen><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                  "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>");
        m_daemon.start(QStringLiteral("dbus-daemon"),
            {QStringLiteral("--nofork"), QStringLiteral("--print-address"),
                QStringLiteral("--config-file=%1").arg(QString::fromStdString(m_dir.file("bus.conf")))});
        if (m_daemon.waitForStarted(5000) && m_daemon.waitForReadyRead(5000))
            address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        m_thread.start();
    }
    ~PrivateDesktop()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("services"));
        m_thread.quit();
        m_thread.wait();
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    // Offers `service` at `path` on the bus.
    void offer(const QString& service, const QString& path, IdleService& object)
    {
        object.moveToThread(&m_thread);
        QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("services"));
        ASSERT_TRUE(bus.isConnected());
        ASSERT_TRUE(bus.registerVirtualObject(path, &object));
        ASSERT_TRUE(bus.registerService(service));
    }
    QString address;

private:
    test::TempDir m_dir;
    QProcess m_daemon;
    QThread m_thread;
};

TEST(DBusIdle, TheDesktopsServicesAreAskedInOrderOnlyOnASessionsOwnBus)
{
    // Without a session's bus none is started for the asking.
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    test::TempDir noBus;
    ::setenv("XDG_RUNTIME_DIR", noBus.path().c_str(), 1);
    EXPECT_FALSE(DBusIdleSource::sessionBus());

    PrivateDesktop desktop;
    if (desktop.address.isEmpty())
        GTEST_SKIP() << "no dbus-daemon";
    QDBusConnection client = QDBusConnection::connectToBus(desktop.address, QStringLiteral("client"));
    ASSERT_TRUE(client.isConnected());
    EXPECT_FALSE(DBusIdleSource::open(DBusIdleSource::Service::ScreenSaver, client)) << "no service yet";

    IdleService screenSaver(QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("GetSessionIdleTime"), false);
    IdleService mutter(QStringLiteral("org.gnome.Mutter.IdleMonitor"), QStringLiteral("GetIdletime"), true);
    desktop.offer(
        QStringLiteral("org.gnome.Mutter.IdleMonitor"), QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"), mutter);
    desktop.offer(
        QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("/org/freedesktop/ScreenSaver"), screenSaver);

    struct Case {
        qint64 screenSaverIdle; // below 0: refused
        qint64 mutterIdle;
        std::string chosen;
        std::optional<std::int64_t> idle;
    };
    const std::vector<Case> cases{
        {4321, 98765, "session screen saver", 4321},
        {-1, 98765, "GNOME idle monitor", 98765}, // GNOME owns the screen saver's name and refuses the call
        {-1, 5'000'000'000, "GNOME idle monitor", 5'000'000'000},
        {-1, -1, "", std::nullopt},
    };
    ::setenv("DBUS_SESSION_BUS_ADDRESS", desktop.address.toUtf8().constData(), 1);
    for (const Case& c : cases) {
        screenSaver.idle = c.screenSaverIdle;
        mutter.idle = c.mutterIdle;
        const auto source = desktopIdleSource();
        EXPECT_EQ(source ? source->name() : "", c.chosen);
        EXPECT_EQ(source ? source->idleMilliseconds() : std::nullopt, c.idle);
    }

    // A service that stops answering is given up after a few tries.
    screenSaver.idle = 10;
    const auto source = DBusIdleSource::open(DBusIdleSource::Service::ScreenSaver, client);
    ASSERT_TRUE(source);
    screenSaver.idle = -1;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(source->idleMilliseconds());
    screenSaver.idle = 20;
    EXPECT_FALSE(source->idleMilliseconds()) << "given up";
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
}

} // namespace
} // namespace quillory
