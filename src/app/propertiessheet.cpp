#include "app/propertiessheet.h"

#include "app/propertiespages.h"
#include "data/recordfile.h"
#include "platform/help.h"
#include "platform/prompter.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quillory {

CPropertiesSheet::CPropertiesSheet(SettingsRecord& record, Prompter& prompter, HelpService& help, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_help(help)
    , m_tabs(new QTabWidget(this))
    , m_page1(new CPropertiesPage1(record))
    , m_page2(new CPropertiesPage2(record))
    , m_page3(new CPropertiesPage3(record))
{
    setWindowTitle(QStringLiteral("Properties"));
    setObjectName(QStringLiteral("propertiesSheet"));
    m_tabs->addTab(m_page1, QStringLiteral("Company"));
    m_tabs->addTab(m_page2, QStringLiteral("Invoice"));
    m_tabs->addTab(m_page3, QStringLiteral("General"));
    m_tabs->setCurrentIndex(0);

    auto* buttons
        = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPropertiesSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPropertiesSheet::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, &CPropertiesSheet::OnHelp);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &CPropertiesSheet::OnHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    resize(440, 420);
}

void CPropertiesSheet::OnHelp()
{
    m_help.showHelp(kHelpProperties);
}

void CPropertiesSheet::accept()
{
    CPropertiesPage* const pages[3] = {m_page1, m_page2, m_page3};
    for (CPropertiesPage* page : pages) {
        if (!page->visited())
            continue;
        if (QWidget* wrong = page->validate(m_prompter)) {
            m_tabs->setCurrentWidget(page);
            wrong->setFocus();
            if (auto* edit = qobject_cast<QLineEdit*>(wrong))
                edit->selectAll();
            return;
        }
    }
    for (CPropertiesPage* page : pages) {
        if (page->visited())
            page->OnOK();
    }
    QDialog::accept();
}

bool EditProperties(const std::string& dataSetPath, Prompter& prompter, HelpService& help, QWidget* parent)
{
    const std::string settingsFile = siblingPath(dataSetPath, "qly");
    SettingsRecord record;
    // Pages started from blank or default values would overwrite settings
    // that are only unreadable for now.
    if (!readSettings(settingsFile, record)) {
        prompter.reportFileError("Cannot open settings file : ", settingsFile);
        return false;
    }
    CPropertiesSheet sheet(record, prompter, help, parent);
    if (sheet.exec() != QDialog::Accepted)
        return false;
    return writeSettings(record, settingsFile, prompter);
}

} // namespace quillory
