// Where the program gets "now". Timing and totals ask a Clock so that tests
// run a day of work in a millisecond without sleeping.
#pragma once

#include "data/records.h"

namespace quillory {

class Clock {
public:
    virtual ~Clock() = default;
    virtual Timestamp now() const = 0;
};

class SystemClock final : public Clock {
public:
    Timestamp now() const override;
};

} // namespace quillory
