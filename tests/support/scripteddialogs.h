// The data set's dialogs answered from a script, for driving the document
// and the timing commands without windows.
#pragma once

#include "app/document.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace quillory::test {

class ScriptedDialogs : public DocumentDialogs {
public:
    std::int32_t chooseRunningProject(const std::vector<std::int32_t>& ids, const std::string& projectsFile) override
    {
        offered = ids;
        file = projectsFile;
        ++runningChoices;
        return choice;
    }
    std::optional<std::int32_t> chooseProject(const std::string& projectsFile) override
    {
        file = projectsFile;
        ++projectChoices;
        if (projects.empty())
            return std::nullopt;
        const auto next = projects.front();
        projects.pop_front();
        return next;
    }
    void editProjects(const std::string& projectsFile) override { edited.push_back(projectsFile); }
    bool runHistory(const std::string& dataSetPath) override
    {
        edited.push_back(dataSetPath);
        return historyPrints;
    }
    bool runCustomers(const std::string& customersFile) override
    {
        edited.push_back(customersFile);
        return customersPrint;
    }
    void runExport(const std::string& dataSetPath) override { edited.push_back(dataSetPath); }
    bool runProperties(const std::string& dataSetPath) override
    {
        edited.push_back(dataSetPath);
        return propertiesWritten;
    }
    bool historyPrints = false;
    bool propertiesWritten = false;
    InvoiceChoice runInvoice(const std::string& customersFile, InvoiceRequest& request) override
    {
        edited.push_back(customersFile);
        request = invoiceRequest;
        return invoiceChoice;
    }
    void runPieChart(const std::string& dataSetPath) override { edited.push_back(dataSetPath); }
    InvoiceChoice invoiceChoice = InvoiceChoice::Cancel;
    InvoiceRequest invoiceRequest; // what the invoice dialog answers
    bool customersPrint = false;

    std::int32_t choice = -1; // the running project chosen
    std::deque<std::optional<std::int32_t>> projects; // projects picked from the tree, in order
    std::vector<std::int32_t> offered;
    std::string file;
    int runningChoices = 0;
    int projectChoices = 0;
    std::vector<std::string> edited; // the files each dialog was opened on
};

} // namespace quillory::test
