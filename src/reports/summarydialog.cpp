#include "reports/summarydialog.h"

#include "app/document.h"
#include "data/recordfile.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/qt/periodchooser.h"
#include "records/historydialog.h"
#include "reports/printcontroller.h"
#include "reports/summaryexport.h"
#include "reports/summarymodel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>

#include <variant>

namespace quillory {

SummaryDialog::SummaryDialog(const std::string& dataSetPath, Prompter& prompter, const Clock& clock, QWidget* parent)
    : QDialog(parent)
    , m_path(dataSetPath)
    , m_prompter(prompter)
    , m_summary(std::make_unique<CSummary>())
    , m_model(std::make_unique<SummaryModel>())
    , m_period(new PeriodChooser(
          false, [this] { return displaySettings(m_path).americanDates != 0; }, clock, this))
    , m_grouping(new QComboBox(this))
    , m_tree(new QTreeView(this))
{
    setWindowTitle(QStringLiteral("Summary"));
    setObjectName(QStringLiteral("summaryDialog"));
    setSizeGripEnabled(true);
    m_grouping->setObjectName(QStringLiteral("grouping"));
    for (const char* name : kSummaryGroupingNames)
        m_grouping->addItem(QString::fromLatin1(name));

    auto* top = new QHBoxLayout;
    auto* periodLabel = new QLabel(QStringLiteral("&Period :"), this);
    periodLabel->setBuddy(m_period->list());
    top->addWidget(periodLabel);
    top->addWidget(m_period);
    top->addSpacing(16);
    auto* groupLabel = new QLabel(QStringLiteral("&Group by :"), this);
    groupLabel->setBuddy(m_grouping);
    top->addWidget(groupLabel);
    top->addWidget(m_grouping);
    top->addStretch(1);

    m_tree->setObjectName(QStringLiteral("summary"));
    m_tree->setModel(m_model.get());
    m_tree->setUniformRowHeights(true);
    m_tree->setAlternatingRowColors(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->header()->setStretchLastSection(false);
    m_tree->header()->setSectionResizeMode(kSummaryName, QHeaderView::Stretch);
    m_tree->header()->setSortIndicator(kSummaryName, Qt::AscendingOrder);
    m_tree->setSortingEnabled(true);
    for (int column : {kSummaryTime, kSummaryCharges})
        m_tree->header()->resizeSection(
            column, m_tree->fontMetrics().horizontalAdvance(QStringLiteral("$0000000.00")) + 24);
    connect(m_tree, &QTreeView::doubleClicked, this, &SummaryDialog::OpenHistory);
    // Enter opens the history too; a single click never does, whatever the desktop's habits.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), m_tree, nullptr, nullptr, Qt::WidgetShortcut);
        connect(enter, &QShortcut::activated, this, [this] { OpenHistory(m_tree->currentIndex()); });
    }

    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"P&rint...",
            [this] {
                if (m_preview)
                    m_preview(Complete());
            }},
        {"&Save as PDF...",
            [this] {
                if (m_savePdf)
                    m_savePdf(Complete());
            }},
        {"&Export as CSV...", [this] { ExportCsv(); }},
    };
    for (const auto& [text, command] : commands) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        button->setAutoDefault(false);
        button->setObjectName(QString::fromLatin1(text).remove(QRegularExpression(QStringLiteral("[&. ]"))).toLower());
        // What is written or printed is the period the fields show, never
        // the empty report a refused date left on screen.
        connect(button, &QPushButton::clicked, this, [this, command] {
            if (PeriodHolds())
                command();
        });
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_tree, 1);
    layout->addLayout(buttons);
    resize(760, 520);

    m_period->choose(QuickPeriod::ThisMonth);
    LoadReport();
    connect(m_period, &PeriodChooser::changed, this, &SummaryDialog::LoadReport);
    connect(m_grouping, &QComboBox::currentIndexChanged, this, &SummaryDialog::LoadReport);
}

SummaryDialog::~SummaryDialog()
{
    m_tree->setModel(nullptr);
}

void SummaryDialog::LoadReport()
{
    const auto chosen = m_period->period();
    auto summary = std::make_unique<CSummary>();
    if (const auto* refusal = std::get_if<std::string>(&chosen)) {
        summary->LoadSettings(m_path);
        m_model->setSummary(summary.get());
        m_summary = std::move(summary);
        // Leaving the date again must not bring the same box back.
        if (m_refused != m_period->typedDates()) {
            m_refused = m_period->typedDates();
            m_prompter.inform(*refusal, "Warning");
        }
        return;
    }
    m_refused.clear();
    const SummaryRequest request{
        **std::get_if<std::optional<PeriodBounds>>(&chosen), static_cast<SummaryGrouping>(m_grouping->currentIndex())};
    summary = std::make_unique<CSummary>(request);
    summary->Load(m_path, m_prompter);
    summary->SortBy(
        m_tree->header()->sortIndicatorSection(), m_tree->header()->sortIndicatorOrder() == Qt::DescendingOrder);
    m_model->setSummary(summary.get());
    m_summary = std::move(summary);
    // A customer's projects show at once; deeper levels wait for a click.
    if (m_summary->request().grouping == SummaryGrouping::CustomerProject)
        m_tree->expandToDepth(0);
}

void SummaryDialog::OpenHistory(const QModelIndex& index)
{
    if (!m_openHistory || !index.isValid())
        return;
    const auto row = m_model->rowOf(index);
    FrameScope scope;
    scope.period = m_summary->request().period;
    std::string label;
    if (row) {
        scope = m_summary->ScopeOf(*row);
        label = m_summary->PathOf(*row);
    }
    m_openHistory(label, scope);
    LoadReport();
}

bool SummaryDialog::PeriodHolds()
{
    const auto chosen = m_period->period();
    if (const auto* refusal = std::get_if<std::string>(&chosen)) {
        m_prompter.inform(*refusal, "Warning");
        return false;
    }
    return true;
}

CSummary SummaryDialog::Complete() const
{
    CSummary every = *m_summary;
    every.ExpandAll();
    return every;
}

void SummaryDialog::ExportCsv()
{
    static const FileDialogRequest chooser{"csv", "Summary", "CSV Files (*.csv) | *.csv||", true, true, false};
    if (const auto file = m_prompter.askSaveFileName(chooser))
        WriteSummaryCsv(Complete(), m_path, *file, m_prompter);
}

void RunSummary(CQuilloryDoc& doc, PrintController& printing, Prompter& prompter, HelpService& help, const Clock& clock,
    QWidget* owner)
{
    if (!doc.isOpen())
        return;
    SummaryDialog dialog(doc.path(), prompter, clock, owner);
    dialog.setHistoryOpener([&](const std::string& label, const FrameScope& scope) {
        // The history may remove the very frame a marker left behind counts.
        doc.clearLeftMarker();
        HistoryDialog history(doc.path(), prompter, help, clock, &dialog);
        history.showFrames(label, scope);
        const bool print = history.exec() == QDialog::Accepted;
        if (print)
            doc.UpdateAllViews(kHintPrintHistory);
        doc.UpdateAllViews(kHintRefreshTotals);
        doc.UpdateAllViews(kHintReloadWeek);
    });
    // The controller keeps its own copy: Ctrl+P prints it again later.
    dialog.setPrinting([&](const CSummary& summary) { printing.PreviewSummary(std::make_shared<CSummary>(summary)); },
        [&](const CSummary& summary) { printing.SaveSummaryPdf(std::make_shared<CSummary>(summary)); });
    dialog.exec();
}

} // namespace quillory
