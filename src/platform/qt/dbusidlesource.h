// Idle time from a session-bus service of the desktop: the screen saver's
// GetSessionIdleTime (KDE and others) or GNOME's idle monitor (also under
// Wayland). The window never needs a session bus: without one, or without
// the service, there is simply no such source.
#pragma once

#include "platform/idlesource.h"

#include <QDBusConnection>
#include <QString>

#include <memory>

namespace quillory {

class DBusIdleSource final : public IdleSource {
public:
    enum class Service {
        ScreenSaver, // org.freedesktop.ScreenSaver.GetSessionIdleTime
        MutterIdleMonitor, // org.gnome.Mutter.IdleMonitor.GetIdletime
    };
    // A source on `bus` when the service answers there, else nothing.
    static std::unique_ptr<DBusIdleSource> open(Service service, const QDBusConnection& bus);
    // The user's session bus, when the session has one: it is never started
    // for the asking.
    static std::optional<QDBusConnection> sessionBus();

    DBusIdleSource(Service service, const QDBusConnection& bus);
    std::optional<std::int64_t> idleMilliseconds() override;
    std::string name() const override;

private:
    Service m_service;
    QDBusConnection m_bus;
    int m_failures = 0;
};

} // namespace quillory
