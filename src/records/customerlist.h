// The customers of a data set as the customers dialog lists them: seven
// columns, sorted ascending by any of them without regard to case.
#pragma once

#include "data/records.h"

#include <string>
#include <vector>

namespace quillory {

class Prompter;

inline constexpr int kCustomerColumns = 7;

class CustomerList {
public:
    // Every customer in file order; nothing (reported) when the customers
    // file cannot be opened.
    bool load(const std::string& customersFile, Prompter& prompter);

    std::size_t size() const { return m_order.size(); }
    const CustomerRecord& record(std::size_t row) const { return m_customers[m_order[row]]; }
    // Customer, Address, City, ZIP, State, Country, Phone.
    std::string text(std::size_t row, int column) const;
    // Ascending; customers that compare equal keep their file order.
    void sortBy(int column);

private:
    std::vector<CustomerRecord> m_customers;
    std::vector<std::size_t> m_order;
};

// The text of a customer's field shown in a column.
std::string customerColumnText(const CustomerRecord& customer, int column);

} // namespace quillory
