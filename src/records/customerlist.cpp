#include "records/customerlist.h"

#include "data/recordfile.h"
#include "data/text.h"
#include "platform/collator.h"

#include <algorithm>
#include <numeric>

namespace quillory {

std::string customerColumnText(const CustomerRecord& c, int column)
{
    switch (column) {
    case 0:
        return fieldText(c.name);
    case 1:
        return fieldText(c.address);
    case 2:
        return fieldText(c.city);
    case 3:
        return fieldText(c.zip);
    case 4:
        return fieldText(c.state);
    case 5:
        return fieldText(c.country);
    case 6:
        return fieldText(c.phone);
    default:
        return {};
    }
}

bool CustomerList::load(const std::string& customersFile, Prompter& prompter)
{
    m_customers.clear();
    m_order.clear();
    auto customers = loadCustomers(customersFile, prompter);
    if (!customers)
        return false;
    m_customers = std::move(*customers);
    m_order.resize(m_customers.size());
    std::iota(m_order.begin(), m_order.end(), std::size_t{0});
    return true;
}

std::string CustomerList::text(std::size_t row, int column) const
{
    return customerColumnText(record(row), column);
}

void CustomerList::sortBy(int column)
{
    std::vector<std::string> key(m_customers.size());
    for (std::size_t i = 0; i < m_customers.size(); ++i)
        key[i] = customerColumnText(m_customers[i], column);
    m_order = collator().order(key);
}

} // namespace quillory
