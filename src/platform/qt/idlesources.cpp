#include "platform/qt/idlesources.h"

#include "platform/qt/dbusidlesource.h"
#if defined(QUILLORY_HAVE_XSS)
#include "platform/qt/x11idlesource.h"
#endif

namespace quillory {

std::unique_ptr<IdleSource> desktopIdleSource()
{
#if defined(QUILLORY_HAVE_XSS)
    if (auto x11 = X11IdleSource::open())
        return x11;
#endif
    if (const auto bus = DBusIdleSource::sessionBus()) {
        for (const auto service : {DBusIdleSource::Service::ScreenSaver, DBusIdleSource::Service::MutterIdleMonitor}) {
            if (auto source = DBusIdleSource::open(service, *bus))
                return source;
        }
    }
    return nullptr;
}

} // namespace quillory
