// Idle time from the X server's MIT-SCREEN-SAVER extension, on a connection
// of its own to the display the window is on.
#pragma once

#include "platform/idlesource.h"

#include <memory>

namespace quillory {

class X11IdleSource final : public IdleSource {
public:
    // Nothing where the program does not draw on an X server (Wayland,
    // offscreen, another system) or the server lacks the extension.
    static std::unique_ptr<X11IdleSource> open();
    ~X11IdleSource() override;
    X11IdleSource(const X11IdleSource&) = delete;
    X11IdleSource& operator=(const X11IdleSource&) = delete;

    std::optional<std::int64_t> idleMilliseconds() override;
    std::string name() const override { return "X11 screen saver"; }

    struct Connection; // only open() makes one
    explicit X11IdleSource(std::unique_ptr<Connection> connection);

private:
    std::unique_ptr<Connection> m_connection;
};

} // namespace quillory
