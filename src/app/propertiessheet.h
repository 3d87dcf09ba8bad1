// CPropertiesSheet ("Properties") edits the data set's settings record on
// three pages: Company, Invoice and General. It works on the caller's copy
// of the record, which OK changes only once every visited page reads.
#pragma once

#include "data/records.h"

#include <QDialog>

#include <string>

class QTabWidget;

namespace quillory {

class CPropertiesPage;
class CPropertiesPage1;
class CPropertiesPage2;
class CPropertiesPage3;
class HelpService;
class Prompter;

class CPropertiesSheet final : public QDialog {
    Q_OBJECT
public:
    CPropertiesSheet(SettingsRecord& record, Prompter& prompter, HelpService& help, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }
    CPropertiesPage1& company() const { return *m_page1; }
    CPropertiesPage2& invoice() const { return *m_page2; }
    CPropertiesPage3& general() const { return *m_page3; }

    // The help topic of the properties.
    void OnHelp();
    void accept() override;

private:
    Prompter& m_prompter;
    HelpService& m_help;
    QTabWidget* m_tabs;
    CPropertiesPage1* m_page1;
    CPropertiesPage2* m_page2;
    CPropertiesPage3* m_page3;
};

// The Properties command: the sheet over the settings of the data set, which
// are written back when it ends with OK. True when they were written.
bool EditProperties(const std::string& dataSetPath, Prompter& prompter, HelpService& help, QWidget* parent);

} // namespace quillory
