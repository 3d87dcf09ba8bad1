#include "import/importdialog.h"

#include "data/calendar.h"
#include "data/numbers.h"
#include "data/recordfile.h"
#include "import/importplan.h"
#include "platform/prompter.h"
#include "platform/qt/waitcursor.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quillory {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
}

struct KindChoice {
    ImportKind kind;
    const char* text;
    const char* filter;
};

constexpr KindChoice kKindChoices[] = {
    {ImportKind::Timewarrior, "Timewarrior export (timew export)",
        "Timewarrior exports (*.json) | *.json|All files (*) | *||"},
    {ImportKind::Watson, "Watson frames file", "Watson frames (frames) | frames|All files (*) | *||"},
    {ImportKind::Csv, "CSV or tab-separated table",
        "Tables (*.csv *.tsv *.txt) | *.csv *.tsv *.txt|All files (*) | *||"},
    {ImportKind::ICalendar, "iCalendar file", "Calendars (*.ics) | *.ics|All files (*) | *||"},
};

const QStringList kFrameColumns{QStringLiteral("Project"), QStringLiteral("Customer"), QStringLiteral("Date"),
    QStringLiteral("From"), QStringLiteral("To"), QStringLiteral("Time"), QStringLiteral("New project")};

// The rejected rows as a list view asks for them: a million rows are text
// only when they scroll into sight.
class RejectedRowsModel final : public QAbstractListModel {
public:
    RejectedRowsModel(const std::vector<RejectedRow>& rows, QObject* parent)
        : QAbstractListModel(parent)
        , m_rows(rows)
    {
    }
    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return qs(m_rows[static_cast<std::size_t>(index.row())].text());
    }

private:
    const std::vector<RejectedRow>& m_rows;
};

} // namespace

ImportDialog::ImportDialog(const std::string& dataSetPath, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_path(dataSetPath)
    , m_prompter(prompter)
    , m_kinds(new QComboBox(this))
    , m_fileButton(new QPushButton(QStringLiteral("File :"), this))
    , m_fileLabel(new QLabel(QStringLiteral("(no file chosen)"), this))
    , m_counts(new QFormLayout)
    , m_firstFrames(new QTableWidget(0, static_cast<int>(kFrameColumns.size()), this))
    , m_rejectedButton(new QPushButton(QStringLiteral("Rejected rows..."), this))
    , m_importButton(new QPushButton(QStringLiteral("Import"), this))
{
    setWindowTitle(QStringLiteral("Import time frames"));
    setObjectName(QStringLiteral("importDialog"));
    m_kinds->setObjectName(QStringLiteral("kind"));
    for (const KindChoice& choice : kKindChoices)
        m_kinds->addItem(QString::fromLatin1(choice.text), static_cast<int>(choice.kind));
    m_fileButton->setObjectName(QStringLiteral("file"));
    m_fileButton->setAutoDefault(false);
    m_fileLabel->setObjectName(QStringLiteral("fileName"));
    m_fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_firstFrames->setObjectName(QStringLiteral("firstFrames"));
    m_firstFrames->setHorizontalHeaderLabels(kFrameColumns);
    m_firstFrames->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_firstFrames->setSelectionMode(QAbstractItemView::NoSelection);
    m_firstFrames->verticalHeader()->hide();
    m_firstFrames->horizontalHeader()->setStretchLastSection(true);
    m_rejectedButton->setObjectName(QStringLiteral("rejected"));
    m_rejectedButton->setAutoDefault(false);
    m_importButton->setObjectName(QStringLiteral("import"));

    auto* source = new QFormLayout;
    source->addRow(QStringLiteral("Kind :"), m_kinds);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_fileButton);
    fileRow->addWidget(m_fileLabel, 1);
    source->addRow(fileRow);

    auto* preview = new QGroupBox(QStringLiteral("What will be imported"), this);
    auto* previewLayout = new QVBoxLayout(preview);
    previewLayout->addLayout(m_counts);
    previewLayout->addWidget(new QLabel(QStringLiteral("The first time frames, as they will be recorded :"), preview));
    previewLayout->addWidget(m_firstFrames, 1);
    auto* rejectedRow = new QHBoxLayout;
    rejectedRow->addStretch(1);
    rejectedRow->addWidget(m_rejectedButton);
    previewLayout->addLayout(rejectedRow);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_importButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    m_importButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &ImportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ImportDialog::reject);
    connect(m_fileButton, &QPushButton::clicked, this, &ImportDialog::OnFile);
    connect(m_rejectedButton, &QPushButton::clicked, this, &ImportDialog::showRejected);
    connect(m_kinds, &QComboBox::currentIndexChanged, this, &ImportDialog::preview);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(source);
    layout->addWidget(preview, 1);
    layout->addWidget(buttons);
    resize(720, 520);
    showPlan();
}

ImportDialog::~ImportDialog() = default;

void ImportDialog::OnFile()
{
    const KindChoice& choice = kKindChoices[std::max(0, m_kinds->currentIndex())];
    const FileDialogRequest request{"", m_source, choice.filter, false, true, true};
    if (const auto chosen = m_prompter.askOpenFileName(request)) {
        m_source = *chosen;
        m_fileLabel->setText(qs(m_source));
        preview();
    }
}

void ImportDialog::preview()
{
    m_plan.reset();
    m_batch.reset();
    if (!m_source.empty()) {
        const auto kind = static_cast<ImportKind>(m_kinds->currentData().toInt());
        std::optional<std::string> refusal;
        {
            WaitCursor busy;
            SourceReading reading = readImportSource(kind, m_source);
            if (reading.batch) {
                m_batch = std::make_unique<ImportBatch>(std::move(*reading.batch));
                if (auto plan = planImport(*m_batch, m_path, m_prompter)) {
                    if (plan->refusal.empty())
                        m_plan = std::make_unique<ImportPlan>(std::move(*plan));
                    else
                        refusal = std::move(plan->refusal);
                }
            } else {
                refusal = std::move(reading.refusal);
            }
        }
        if (refusal)
            m_prompter.inform(*refusal);
    }
    showPlan();
}

void ImportDialog::showPlan()
{
    while (m_counts->rowCount() > 0)
        m_counts->removeRow(0);
    m_firstFrames->setRowCount(0);
    if (!m_plan) {
        m_counts->addRow(new QLabel(m_source.empty() ? QStringLiteral("Choose the kind of file and the file to import.")
                                                     : QStringLiteral("Nothing can be imported from this file."),
            this));
    } else {
        const bool american = displaySettings(m_path).americanDates != 0;
        for (const auto& [label, value] : importSummary(*m_plan, american))
            m_counts->addRow(qs(label + " :"), new QLabel(qs(value), this));
        m_firstFrames->setRowCount(static_cast<int>(m_plan->firstFrames.size()));
        int row = 0;
        for (const PlannedFrame& f : m_plan->firstFrames) {
            const bool sameDay = StartOfDay(f.start) == StartOfDay(f.end);
            const QStringList cells{qs(f.project), qs(f.customer), qs(FormatDate(f.start, american)),
                qs(FormatTime24(f.start)),
                qs(sameDay ? FormatTime24(f.end) : FormatDate(f.end, american) + " " + FormatTime24(f.end)),
                qs(FormatDuration(WholeMinutes(std::int64_t{f.end} - f.start))),
                f.newProject ? QStringLiteral("yes") : QString()};
            for (int column = 0; column < cells.size(); ++column)
                m_firstFrames->setItem(row, column, new QTableWidgetItem(cells[column]));
            ++row;
        }
        m_firstFrames->resizeColumnsToContents();
    }
    const std::size_t rejected = m_batch ? m_batch->rejected.size() : 0;
    m_rejectedButton->setEnabled(rejected > 0);
    m_rejectedButton->setText(
        rejected > 0 ? QStringLiteral("Rejected rows (%1)...").arg(rejected) : QStringLiteral("Rejected rows..."));
    m_importButton->setEnabled(m_plan && m_plan->counts.framesToAdd > 0);
}

void ImportDialog::showRejected()
{
    if (!m_batch || m_batch->rejected.empty())
        return;
    QDialog list(this);
    list.setWindowTitle(QStringLiteral("Rejected rows"));
    list.setObjectName(QStringLiteral("rejectedRows"));
    auto* view = new QListView(&list);
    view->setObjectName(QStringLiteral("rows"));
    view->setUniformItemSizes(true);
    view->setModel(new RejectedRowsModel(m_batch->rejected, view));
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, &list);
    connect(close, &QDialogButtonBox::rejected, &list, &QDialog::reject);
    auto* layout = new QVBoxLayout(&list);
    layout->addWidget(new QLabel(qs(m_batch->sourcePath), &list));
    layout->addWidget(view, 1);
    layout->addWidget(close);
    list.resize(600, 400);
    list.exec();
}

void ImportDialog::accept()
{
    if (!m_batch || !m_plan || m_plan->counts.framesToAdd == 0)
        return;
    std::optional<ImportPlan> plan;
    bool landed = false;
    {
        WaitCursor busy;
        // Matched again against the files as they are now, so nothing that
        // changed since the preview is written over.
        plan = planImport(*m_batch, m_path, m_prompter);
        landed = plan && plan->refusal.empty() && landImport(*plan, m_prompter);
    }
    if (plan && !plan->refusal.empty()) {
        // A project renamed since the preview made a name shared.
        m_prompter.inform(plan->refusal);
        plan.reset();
        m_plan.reset();
    }
    if (plan)
        m_plan = std::make_unique<ImportPlan>(std::move(*plan));
    if (!landed) {
        showPlan();
        return;
    }
    const std::size_t added = m_plan->counts.framesToAdd;
    m_prompter.showMessage(std::to_string(added) + (added == 1 ? " time frame" : " time frames") + " imported.",
        "Status", MessageIcon::Information, MessageButtons::Ok);
    QDialog::accept();
}

bool RunImportDialog(const std::string& dataSetPath, Prompter& prompter, QWidget* parent)
{
    ImportDialog dialog(dataSetPath, prompter, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace quillory
