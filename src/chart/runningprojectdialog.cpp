#include "chart/runningprojectdialog.h"

#include "data/projectindex.h"
#include "data/recordfile.h"
#include "data/text.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace quillory {

RunningProjectDialog::RunningProjectDialog(
    const std::vector<std::int32_t>& ids, const std::string& projectsFile, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_ids(ids)
    , m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Select a running project"));
    setObjectName(QStringLiteral("runningProjectDialog"));
    m_list->setObjectName(QStringLiteral("runningProjects"));
    auto projects = loadProjects(projectsFile, prompter);
    const ProjectIndex index(projects ? std::move(*projects) : std::vector<ProjectRecord>{});
    for (std::int32_t id : m_ids)
        m_list->addItem(QString::fromStdString(fieldText(index.find(id).name)));
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &RunningProjectDialog::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &RunningProjectDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RunningProjectDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(300, 220);
}

void RunningProjectDialog::accept()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= static_cast<int>(m_ids.size()))
        return;
    m_nSelectedId = m_ids[static_cast<std::size_t>(row)];
    QDialog::accept();
}

} // namespace quillory
