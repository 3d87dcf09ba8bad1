#include "platform/clock.h"

#include "data/calendar.h"

#include <ctime>

namespace quillory {

Timestamp SystemClock::now() const
{
    return clampToTimestamp(std::time(nullptr));
}

} // namespace quillory
