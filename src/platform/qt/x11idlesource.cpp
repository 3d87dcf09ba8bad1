#include "platform/qt/x11idlesource.h"

#include <QGuiApplication>

// Last: the X headers define words (None, Bool, Status) that Qt's use too.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace quillory {

struct X11IdleSource::Connection {
    Display* display = nullptr;
    XScreenSaverInfo* info = nullptr;
    ~Connection()
    {
        if (info)
            XFree(info);
        if (display)
            XCloseDisplay(display);
    }
};

std::unique_ptr<X11IdleSource> X11IdleSource::open()
{
    // Under Wayland an X server may be there for older programs, but it sees
    // only their input: its idle time would grow while the user types.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto connection = std::make_unique<Connection>();
    connection->display = XOpenDisplay(nullptr);
    if (!connection->display)
        return nullptr;
    int event = 0;
    int error = 0;
    if (!XScreenSaverQueryExtension(connection->display, &event, &error))
        return nullptr;
    connection->info = XScreenSaverAllocInfo();
    if (!connection->info)
        return nullptr;
    return std::make_unique<X11IdleSource>(std::move(connection));
}

X11IdleSource::X11IdleSource(std::unique_ptr<Connection> connection)
    : m_connection(std::move(connection))
{
}

X11IdleSource::~X11IdleSource() = default;

std::optional<std::int64_t> X11IdleSource::idleMilliseconds()
{
    Display* display = m_connection->display;
    if (!XScreenSaverQueryInfo(display, DefaultRootWindow(display), m_connection->info))
        return std::nullopt;
    return static_cast<std::int64_t>(m_connection->info->idle);
}

} // namespace quillory
