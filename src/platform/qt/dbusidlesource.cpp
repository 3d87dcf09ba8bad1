#include "platform/qt/dbusidlesource.h"

#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>

namespace quillory {

namespace {

// The bus answers in well under a millisecond; a service that takes longer
// than this is not one to wait for on the window's thread.
constexpr int kReplyTimeoutMs = 250;
// A service that fails this often in a row is taken as gone.
constexpr int kFailuresGivenUp = 3;

struct Call {
    const char* service;
    const char* path;
    const char* interface;
    const char* method;
};

Call callOf(DBusIdleSource::Service service)
{
    if (service == DBusIdleSource::Service::ScreenSaver)
        return {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver",
            "GetSessionIdleTime"};
    return {"org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core", "org.gnome.Mutter.IdleMonitor",
        "GetIdletime"};
}

} // namespace

std::unique_ptr<DBusIdleSource> DBusIdleSource::open(Service service, const QDBusConnection& bus)
{
    if (!bus.isConnected())
        return nullptr;
    auto source = std::make_unique<DBusIdleSource>(service, bus);
    // A desktop may own the name and still refuse the call (GNOME's screen
    // saver name says "not supported"): only an answer counts.
    if (!source->idleMilliseconds())
        return nullptr;
    return source;
}

std::optional<QDBusConnection> DBusIdleSource::sessionBus()
{
    // Asked for a bus it cannot find, the D-Bus library may start one of its
    // own for the display; only a session's bus is used.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")
        && (runtime.isEmpty() || !QFileInfo::exists(QDir(runtime).filePath(QStringLiteral("bus")))))
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    return bus;
}

DBusIdleSource::DBusIdleSource(Service service, const QDBusConnection& bus)
    : m_service(service)
    , m_bus(bus)
{
}

std::optional<std::int64_t> DBusIdleSource::idleMilliseconds()
{
    if (m_failures >= kFailuresGivenUp)
        return std::nullopt;
    const Call call = callOf(m_service);
    const QDBusMessage reply
        = m_bus.call(QDBusMessage::createMethodCall(QLatin1String(call.service), QLatin1String(call.path),
                         QLatin1String(call.interface), QLatin1String(call.method)),
            QDBus::Block, kReplyTimeoutMs);
    bool ok = false;
    const qlonglong idle = reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1
        ? reply.arguments().front().toLongLong(&ok)
        : 0;
    if (!ok || idle < 0) {
        ++m_failures;
        return std::nullopt;
    }
    m_failures = 0;
    return idle;
}

std::string DBusIdleSource::name() const
{
    return m_service == Service::ScreenSaver ? "session screen saver" : "GNOME idle monitor";
}

} // namespace quillory
