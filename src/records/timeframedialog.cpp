#include "records/timeframedialog.h"

#include "data/recordfile.h"
#include "data/text.h"
#include "platform/prompter.h"
#include "records/timeframeinput.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <variant>

namespace quillory {

TimeFrameDialog::TimeFrameDialog(
    const std::string& dataSetFile, const TimeFrameRecord& frame, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_frame(frame)
    , m_project(new QLabel(this))
    , m_date(new QLineEdit(this))
    , m_time(new QLineEdit(this))
    , m_duration(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Time frame"));
    setObjectName(QStringLiteral("timeFrameDialog"));
    m_project->setObjectName(QStringLiteral("project"));
    m_date->setObjectName(QStringLiteral("date"));
    m_time->setObjectName(QStringLiteral("time"));
    m_duration->setObjectName(QStringLiteral("duration"));

    ProjectRecord project{};
    findProject(siblingPath(dataSetFile, "prj"), frame.projectId, project, prompter);
    m_project->setText(QString::fromStdString(fieldText(project.name)));
    m_americanDates = displaySettings(dataSetFile).americanDates != 0;
    const TimeFrameFields fields = timeFrameFields(frame, m_americanDates);
    m_date->setText(QString::fromStdString(fields.date));
    m_date->setPlaceholderText(m_americanDates ? QStringLiteral("MM/DD/YYYY") : QStringLiteral("DD/MM/YYYY"));
    m_time->setText(QString::fromStdString(fields.time));
    m_time->setPlaceholderText(QStringLiteral("HH:MM"));
    m_duration->setText(QString::fromStdString(fields.duration));
    m_duration->setPlaceholderText(QStringLiteral("HH:MM"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Project :"), m_project);
    form->addRow(QStringLiteral("Date :"), m_date);
    form->addRow(QStringLiteral("Time :"), m_time);
    form->addRow(QStringLiteral("Duration :"), m_duration);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TimeFrameDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TimeFrameDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TimeFrameDialog::accept()
{
    const TimeFrameFields fields{
        m_date->text().toStdString(), m_time->text().toStdString(), m_duration->text().toStdString()};
    const auto read = readTimeFrameFields(fields, m_americanDates, m_frame.projectId);
    if (const auto* refusal = std::get_if<std::string>(&read)) {
        m_prompter.inform(*refusal, "Warning");
        return;
    }
    m_frame = std::get<TimeFrameRecord>(read);
    QDialog::accept();
}

} // namespace quillory
