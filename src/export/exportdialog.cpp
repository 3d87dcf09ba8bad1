#include "export/exportdialog.h"

#include "data/calendar.h"
#include "data/datasetfiles.h"
#include "data/fileio.h"
#include "data/outputfile.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "export/exportformats.h"
#include "export/exportwriter.h"
#include "platform/collator.h"
#include "platform/prompter.h"
#include "platform/qt/monthbuttons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillory {

namespace {

constexpr std::int32_t kAllProjectsId = -1;

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

ExportDialog::ExportDialog(
    const std::string& dataSetPath, Prompter& prompter, std::string userName, const Clock& clock, QWidget* parent)
    : QDialog(parent)
    , m_path(dataSetPath)
    , m_prompter(prompter)
    , m_userName(std::move(userName))
    , m_fileButton(new QPushButton(QStringLiteral("File :"), this))
    , m_fileLabel(new QLabel(QString::fromLatin1(kExportDefaultFileName), this))
    , m_from(new QLineEdit(QStringLiteral("01/01/1980"), this))
    , m_to(new QLineEdit(this))
    , m_projects(new QComboBox(this))
    , m_format(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("Export Quillory data to an ASCII file"));
    setObjectName(QStringLiteral("exportDialog"));
    m_fileButton->setObjectName(QStringLiteral("file"));
    m_fileButton->setAutoDefault(false);
    m_fileLabel->setObjectName(QStringLiteral("fileName"));
    m_fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_from->setObjectName(QStringLiteral("from"));
    m_to->setObjectName(QStringLiteral("to"));
    m_projects->setObjectName(QStringLiteral("project"));
    m_projects->setMaxVisibleItems(12);
    const bool american = displaySettings(m_path).americanDates != 0;
    m_to->setText(american ? QStringLiteral("12/31/1999") : QStringLiteral("31/12/1999"));

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_fileButton);
    fileRow->addWidget(m_fileLabel, 1);

    auto* concerning = new QGroupBox(QStringLiteral("Export data concerning..."), this);
    auto* period = new QFormLayout;
    period->addRow(new QLabel(QStringLiteral("the period..."), concerning));
    auto* dates = new QFormLayout;
    dates->setContentsMargins(0, 0, 0, 0);
    dates->addRow(QStringLiteral("From :"), m_from);
    dates->addRow(QStringLiteral("To :"), m_to);
    auto* datesRow = new QHBoxLayout;
    datesRow->addLayout(dates, 1);
    datesRow->addWidget(new MonthButtons(
        m_from, m_to, [this] { return displaySettings(m_path).americanDates != 0; }, clock, concerning));
    period->addRow(datesRow);
    period->addRow(new QLabel(QStringLiteral("the project :"), concerning));
    period->addRow(m_projects);
    concerning->setLayout(period);

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    auto* optionList = new QVBoxLayout(options);
    m_format->setObjectName(QStringLiteral("format"));
    for (const ExportFormatInfo& f : exportFormats()) {
        if (f.choice)
            m_format->addItem(QString::fromLatin1(f.choice), static_cast<int>(f.format));
    }
    auto* formatRow = new QFormLayout;
    formatRow->addRow(QStringLiteral("Format :"), m_format);
    optionList->addLayout(formatRow);
    const char* const optionTexts[3] = {"Duration in minutes (180 instead of 03:00)",
        "24-hour format (16:00 instead of 04:00 PM)", "Date and time in one field instead of two"};
    const char* const optionNames[3] = {"minutes", "hours24", "oneField"};
    for (int i = 0; i < 3; ++i) {
        m_options[i] = new QCheckBox(QString::fromLatin1(optionTexts[i]), options);
        m_options[i]->setObjectName(QString::fromLatin1(optionNames[i]));
        optionList->addWidget(m_options[i]);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ExportDialog::reject);
    connect(m_fileButton, &QPushButton::clicked, this, &ExportDialog::OnFile);
    connect(m_format, &QComboBox::currentIndexChanged, this, &ExportDialog::formatChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(concerning);
    layout->addWidget(options);
    layout->addWidget(buttons);
    setMinimumWidth(380);

    fillProjects();
    m_from->setFocus();
}

void ExportDialog::fillProjects()
{
    const std::string projectsFile = siblingPath(m_path, "prj");
    const auto projects = readRecords<ProjectRecord>(projectsFile);
    if (!projects) {
        // The list stays empty with nothing chosen: an export of every
        // project is still possible.
        m_prompter.reportFileError("Cannot open Projects file : ", projectsFile);
        return;
    }
    // One flat, sorted list in which "All Projects" takes its place among
    // the names.
    std::vector<std::string> names;
    std::vector<std::int32_t> ids;
    for (const ProjectRecord& p : *projects) {
        names.push_back(fieldText(p.name));
        ids.push_back(p.id);
    }
    names.emplace_back(kAllProjects);
    ids.push_back(kAllProjectsId);
    for (std::size_t i : collator().order(names))
        m_projects->addItem(qs(names[i]), ids[i]);
    m_projects->setCurrentIndex(m_projects->findData(kAllProjectsId));
}

ExportFormat ExportDialog::format() const
{
    return m_format->currentIndex() >= 0 ? static_cast<ExportFormat>(m_format->currentData().toInt())
                                         : ExportFormat::Text;
}

void ExportDialog::formatChanged()
{
    const bool text = format() == ExportFormat::Text;
    for (QCheckBox* option : m_options)
        option->setEnabled(text);
    if (!m_outputChosen) {
        m_outputFile = defaultExportFileName(format());
        m_fileLabel->setText(qs(m_outputFile));
    }
}

void ExportDialog::OnFile()
{
    const ExportFormatInfo& info = exportFormatInfo(format());
    const FileDialogRequest request{info.extension, m_outputFile, info.filter, true, true, false};
    if (const auto chosen = m_prompter.askSaveFileName(request)) {
        m_outputFile = *chosen;
        m_outputChosen = true;
        m_fileLabel->setText(qs(m_outputFile));
    }
}

bool ExportDialog::mayReplaceOutput()
{
    if (m_outputChosen || fileSystem().type(m_outputFile) == FileType::Missing)
        return true;
    return m_prompter.ask(fullFileName(m_outputFile) + " already exists.\nDo you want to replace it?");
}

void ExportDialog::accept()
{
    const bool american = displaySettings(m_path).americanDates != 0;
    const auto from = ParseTypedDate(m_from->text().toStdString(), american);
    const auto to = from ? ParseTypedDate(m_to->text().toStdString(), american) : std::nullopt;
    if (!from || !to) {
        m_prompter.inform(invalidDateMessage(american));
        QLineEdit* wrong = from ? m_to : m_from;
        wrong->setFocus();
        wrong->selectAll();
        return;
    }
    ExportRequest request;
    request.dataSetPath = m_path;
    const ExportPeriod period = exportPeriod(*from, *to);
    request.periodStart = period.start;
    request.periodEnd = period.end;
    if (m_projects->currentIndex() >= 0 && m_projects->currentData().toInt() != kAllProjectsId)
        request.projectId = m_projects->currentData().toInt();
    request.options.durationInMinutes = m_options[0]->isChecked();
    request.options.hours24 = m_options[1]->isChecked();
    request.options.dateAndTimeInOneField = m_options[2]->isChecked();
    request.userName = m_userName;
    request.format = format();
    // A target that would be refused anyway is said before any question
    // about replacing it.
    if (!mayWriteOutput(m_path, m_outputFile, m_prompter) || !mayReplaceOutput())
        return;
    std::uint64_t frames = 0;
    if (!ExportToFile(request, m_outputFile, m_prompter, NoTimeFrames::LeaveTheHeader, &frames))
        return;
    m_prompter.showMessage("File created with success.\n" + ExportSummary(frames, fullFileName(m_outputFile)), "Status",
        MessageIcon::Information, MessageButtons::Ok);
    QDialog::accept();
}

} // namespace quillory
