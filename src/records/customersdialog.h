// CustomersDialog: the customers of the data set in seven sortable columns.
// Every Add, Update and Remove is written to the customers file at once and
// the list is read back from it; Print closes the dialog so the list can be
// printed.
#pragma once

#include "records/customerlist.h"
#include "records/listdialog.h"

#include <functional>
#include <string>

namespace quillory {

class Prompter;

class CustomersDialog final : public ListDialog {
    Q_OBJECT
public:
    CustomersDialog(const std::string& customersFile, Prompter& prompter, QWidget* parent = nullptr);

    // The customer form; false when cancelled.
    void setCustomerEditor(std::function<bool(CustomerRecord&)> editor) { m_editCustomer = std::move(editor); }

    void onAdd() override;
    void onUpdate() override;
    void onRemove() override;
    void sortBy(int column) override;

    const CustomerList& customers() const { return m_list; }
    // Reads the customers again, after they changed elsewhere.
    void reload();

private:
    std::string m_file;
    Prompter& m_prompter;
    CustomerList m_list;
    std::function<bool(CustomerRecord&)> m_editCustomer;
};

} // namespace quillory
