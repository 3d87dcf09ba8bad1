// The data set's dialogs, run modally over the main window.
#pragma once

#include "app/document.h"

#include <QPointer>
#include <QWidget>

namespace quillory {

class Clock;
class HelpService;
class Prompter;

inline constexpr const char* kNoProjectsYet = "There are no projects yet. Create one now?";

class QtDocumentDialogs final : public DocumentDialogs {
public:
    QtDocumentDialogs(Prompter& prompter, HelpService& help, const Clock& clock)
        : m_prompter(prompter)
        , m_help(help)
        , m_clock(clock)
    {
    }
    void setOwner(QWidget* owner) { m_owner = owner; }

    std::int32_t chooseRunningProject(const std::vector<std::int32_t>& ids, const std::string& projectsFile) override;
    std::optional<std::int32_t> chooseProject(const std::string& projectsFile) override;
    void editProjects(const std::string& projectsFile) override;
    bool runHistory(const std::string& dataSetPath) override;
    bool runCustomers(const std::string& customersFile) override;
    void runExport(const std::string& dataSetPath) override;
    bool runProperties(const std::string& dataSetPath) override;
    InvoiceChoice runInvoice(const std::string& customersFile, InvoiceRequest& request) override;
    void runPieChart(const std::string& dataSetPath) override;

private:
    Prompter& m_prompter;
    HelpService& m_help;
    const Clock& m_clock;
    QPointer<QWidget> m_owner;
};

} // namespace quillory
