#include "records/customersdialog.h"

#include "data/recordfile.h"
#include "platform/prompter.h"
#include "records/customerinfodialog.h"
#include "records/removalnotes.h"

#include <QTableView>

namespace quillory {

CustomersDialog::CustomersDialog(const std::string& customersFile, Prompter& prompter, QWidget* parent)
    : ListDialog("Customers", "customersDialog", parent)
    , m_file(customersFile)
    , m_prompter(prompter)
{
    m_editCustomer = [this](CustomerRecord& record) {
        CustomerRecord copy = record;
        CustomerInfoDialog dialog(copy, this);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        record = copy;
        return true;
    };
    setModel(
        std::make_unique<TextTableModel>(
            std::vector<TextTableModel::Column>{{"Customer", 120}, {"Address", 200}, {"City", 100}, {"ZIP", 50},
                {"State", 50}, {"Country", 100}, {"Phone", 100}},
            [this] { return m_list.size(); }, [this](std::size_t row, int column) { return m_list.text(row, column); }),
        380);
    table()->setObjectName(QStringLiteral("customers"));
    reload();
}

void CustomersDialog::reload()
{
    // After every change the list is the file again, by customer name.
    model().change([&] {
        m_list.load(m_file, m_prompter);
        m_list.sortBy(0);
    });
    showSortColumn(0);
}

void CustomersDialog::sortBy(int column)
{
    model().change([&] { m_list.sortBy(column); });
    showSortColumn(column);
}

void CustomersDialog::onAdd()
{
    CustomerRecord customer = newCustomerRecord(0, "New Customer");
    if (!m_editCustomer(customer))
        return;
    const std::int32_t id = nextCustomerId(m_file, m_prompter);
    if (id < 0)
        return;
    customer.id = id;
    appendCustomer(customer, m_file, m_prompter);
    reload();
}

void CustomersDialog::onUpdate()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    CustomerRecord customer = m_list.record(static_cast<std::size_t>(rows.front()));
    if (!m_editCustomer(customer))
        return;
    // The customer keeps its id and moves to the end of the file.
    replaceCustomer(m_file, customer, m_prompter);
    reload();
}

void CustomersDialog::onRemove()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    std::vector<std::int32_t> ids;
    for (int row : rows)
        ids.push_back(m_list.record(static_cast<std::size_t>(row)).id);
    // Under the question, the projects left without a customer.
    const auto projects = readRecords<ProjectRecord>(siblingPath(m_file, "prj"));
    const std::string detail = projects ? customerRemovalNote(*projects, ids) : std::string();
    if (!m_prompter.ask("Are you sure you want to remove the selected items?", detail, "Confirmation"))
        return;
    deleteCustomers(m_file, ids, m_prompter);
    reload();
}

} // namespace quillory
