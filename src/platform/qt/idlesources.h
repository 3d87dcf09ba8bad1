// The desktop's idle time, from the first way of telling it that answers.
#pragma once

#include "platform/idlesource.h"

#include <memory>

namespace quillory {

// In this order: the X server's screen-saver extension, the session bus's
// screen saver, GNOME's idle monitor. Nothing where none answers: then only
// a sleeping machine shows the user away.
std::unique_ptr<IdleSource> desktopIdleSource();

} // namespace quillory
