#include "data/records.h"

#include "data/text.h"

#include <ostream>

namespace quillory {

std::ostream& operator<<(std::ostream& out, LeInt32 value)
{
    return out << std::int32_t{value};
}

std::ostream& operator<<(std::ostream& out, LeDouble value)
{
    return out << double{value};
}

ProjectRecord newProjectRecord(std::int32_t id, const char* name, std::int32_t parentId)
{
    ProjectRecord r{};
    r.id = id;
    setFieldText(r.name, name);
    r.customerId = -1;
    r.pricePerHour = 0.0;
    r.parentId = parentId;
    return r;
}

CustomerRecord newCustomerRecord(std::int32_t id, const char* name)
{
    CustomerRecord r{};
    r.id = id;
    setFieldText(r.name, name);
    return r;
}

} // namespace quillory
