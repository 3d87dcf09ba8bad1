#include "app/documentdialogs.h"

#include "app/propertiessheet.h"
#include "chart/runningprojectdialog.h"
#include "export/exportdialog.h"
#include "export/username.h"
#include "platform/prompter.h"
#include "records/customersdialog.h"
#include "records/historydialog.h"
#include "records/projectsdialog.h"
#include "reports/invoicedialog.h"
#include "reports/piechartdialog.h"

namespace quillory {

std::int32_t QtDocumentDialogs::chooseRunningProject(
    const std::vector<std::int32_t>& ids, const std::string& projectsFile)
{
    RunningProjectDialog dialog(ids, projectsFile, m_prompter, m_owner.data());
    return dialog.exec() == QDialog::Accepted ? dialog.selectedId() : -1;
}

std::optional<std::int32_t> QtDocumentDialogs::chooseProject(const std::string& projectsFile)
{
    ProjectsDialog dialog(projectsFile, ProjectsDialog::SelectionMode, m_prompter, m_help, m_owner.data());
    // A first check-in has nothing to pick: the project can be made on the
    // way, and is then the one selected.
    if (dialog.isEmptyAsRead() && m_prompter.ask(kNoProjectsYet))
        dialog.createProject();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedId();
}

void QtDocumentDialogs::editProjects(const std::string& projectsFile)
{
    ProjectsDialog dialog(projectsFile, ProjectsDialog::EditMode, m_prompter, m_help, m_owner.data());
    dialog.exec();
}

bool QtDocumentDialogs::runHistory(const std::string& dataSetPath)
{
    HistoryDialog dialog(dataSetPath, m_prompter, m_help, m_clock, m_owner.data());
    return dialog.exec() == QDialog::Accepted;
}

bool QtDocumentDialogs::runCustomers(const std::string& customersFile)
{
    CustomersDialog dialog(customersFile, m_prompter, m_owner.data());
    return dialog.exec() == QDialog::Accepted;
}

void QtDocumentDialogs::runExport(const std::string& dataSetPath)
{
    ExportDialog dialog(dataSetPath, m_prompter, AccountUserName(), m_clock, m_owner.data());
    dialog.exec();
}

bool QtDocumentDialogs::runProperties(const std::string& dataSetPath)
{
    return EditProperties(dataSetPath, m_prompter, m_help, m_owner.data());
}

InvoiceChoice QtDocumentDialogs::runInvoice(const std::string& customersFile, InvoiceRequest& request)
{
    InvoiceDialog dialog(customersFile, m_prompter, m_clock, m_owner.data());
    const InvoiceChoice choice = dialog.run();
    request = dialog.request();
    return choice;
}

void QtDocumentDialogs::runPieChart(const std::string& dataSetPath)
{
    PieChartDialog dialog(dataSetPath, m_prompter, m_clock, m_owner.data());
    dialog.exec();
}

} // namespace quillory
