// How long the user has left keyboard and mouse alone, as the desktop tells
// it. Desktops tell it in different ways (an X11 extension, a session-bus
// service) or not at all; each way is one IdleSource, and the window takes
// the first that answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillory {

class IdleSource {
public:
    virtual ~IdleSource() = default;
    // Milliseconds since the last keyboard or mouse input on the desktop,
    // counting awake time only; nothing when it cannot be told just now.
    virtual std::optional<std::int64_t> idleMilliseconds() = 0;
    // What it asks, for the record ("X11 screen saver", ...).
    virtual std::string name() const = 0;
};

} // namespace quillory
