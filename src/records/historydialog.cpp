#include "records/historydialog.h"

#include "data/numbers.h"
#include "data/recordfile.h"
#include "data/text.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/qt/periodchooser.h"
#include "records/projectsdialog.h"
#include "records/removalnotes.h"
#include "records/timeframedialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <unordered_set>
#include <variant>

namespace quillory {

namespace {

// A time frame as a key: deleting a frame takes every frame equal to it.
struct FrameKey {
    std::int32_t projectId, start, end;
    static FrameKey of(const TimeFrameRecord& f) { return {f.projectId, f.start, f.end}; }
    bool operator==(const FrameKey&) const = default;
};

struct FrameKeyHash {
    std::size_t operator()(const FrameKey& k) const
    {
        const std::uint64_t times = std::uint64_t(std::uint32_t(k.start)) << 32 | std::uint32_t(k.end);
        return std::hash<std::uint64_t>{}(times ^ (std::uint64_t(std::uint32_t(k.projectId)) * 0x9E3779B97F4A7C15u));
    }
};

} // namespace

HistoryDialog::HistoryDialog(
    const std::string& dataSetPath, Prompter& prompter, HelpService& help, const Clock& clock, QWidget* parent)
    : ListDialog("History of charges", "historyDialog", parent)
    , m_path(dataSetPath)
    , m_prompter(prompter)
    , m_clock(clock)
    , m_filterLine(new QWidget(this))
    , m_filterText(new QLineEdit(m_filterLine))
    , m_filterPeriod(new PeriodChooser(
          true, [this] { return displaySettings(m_path).americanDates != 0; }, clock, m_filterLine))
    , m_totals(new QLabel(this))
{
    setSizeGripEnabled(true);
    m_chooseProject = [this, &help]() -> std::optional<std::int32_t> {
        ProjectsDialog dialog(siblingPath(m_path, "prj"), ProjectsDialog::SelectionMode, m_prompter, help, this);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.selectedId();
    };
    m_editFrame = [this](TimeFrameRecord& frame) {
        TimeFrameDialog dialog(m_path, frame, m_prompter, this);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        frame = dialog.frame();
        return true;
    };
    setModel(std::make_unique<TextTableModel>(
                 std::vector<TextTableModel::Column>{
                     {"Project", 171}, {"Date", 60}, {"Time", 60}, {"Time charged", 80, true}, {"Charges", 80, true}},
                 [this] { return m_history.size(); },
                 [this](std::size_t row, int column) { return m_history.text(row, column); }),
        430);
    table()->setObjectName(QStringLiteral("history"));

    m_filterLine->setObjectName(QStringLiteral("filterLine"));
    m_filterText->setObjectName(QStringLiteral("filterText"));
    m_filterText->setPlaceholderText(QStringLiteral("Project, customer or date"));
    m_filterText->setClearButtonEnabled(true);
    m_filterPeriod->setObjectName(QStringLiteral("filterPeriod"));
    auto* line = new QHBoxLayout(m_filterLine);
    line->setContentsMargins(0, 0, 0, 0);
    auto* find = new QLabel(QStringLiteral("&Find :"), m_filterLine);
    find->setBuddy(m_filterText);
    line->addWidget(find);
    line->addWidget(m_filterText, 1);
    line->addWidget(m_filterPeriod);
    m_totals->setObjectName(QStringLiteral("totals"));
    connect(m_filterText, &QLineEdit::textChanged, this, [this](const QString& text) {
        // Edited, the line no longer names the frames of a report's row.
        if (m_scope && text.toStdString() != m_scopeLabel)
            m_scope.reset();
        applyFilter();
    });
    connect(m_filterPeriod, &PeriodChooser::changed, this, &HistoryDialog::applyFilter);
    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, this, [this] {
        m_filterText->setFocus(Qt::ShortcutFocusReason);
        m_filterText->selectAll();
    });
    connect(table()->selectionModel(), &QItemSelectionModel::selectionChanged, this, &HistoryDialog::showTotals);
    // Tab goes from the buttons through the filter line to the list it narrows.
    QWidget* before = findChild<QPushButton*>(QStringLiteral("exit"));
    for (QWidget* next : {static_cast<QWidget*>(m_filterText), static_cast<QWidget*>(m_filterPeriod->list()),
             static_cast<QWidget*>(m_filterPeriod->from()), static_cast<QWidget*>(m_filterPeriod->to()),
             static_cast<QWidget*>(table())}) {
        if (before)
            setTabOrder(before, next);
        before = next;
    }

    m_history.setSortColumn(kHistoryProject);
    reload();
}

void HistoryDialog::resizeEvent(QResizeEvent* event)
{
    ListDialog::resizeEvent(event);
    // The filter line and the totals take their room from the list's.
    constexpr int kGap = 6;
    const QRect list = table()->geometry();
    const int lineHeight = m_filterLine->sizeHint().height();
    const int totalsHeight = m_totals->sizeHint().height();
    m_filterLine->setGeometry(list.left(), list.top(), list.width(), lineHeight);
    const int top = list.top() + lineHeight + kGap;
    const int height = std::max(0, list.bottom() + 1 - top - kGap - totalsHeight);
    table()->setGeometry(list.left(), top, list.width(), height);
    m_totals->setGeometry(list.left(), top + height + kGap, list.width(), totalsHeight);
}

void HistoryDialog::keyPressEvent(QKeyEvent* event)
{
    const bool filtered = m_scope || !m_filterText->text().isEmpty() || !m_filterPeriod->isAll();
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && filtered
        && m_filterLine->isAncestorOf(focusWidget())) {
        clearFilter();
        return;
    }
    ListDialog::keyPressEvent(event);
}

void HistoryDialog::showFrames(const std::string& label, const FrameScope& scope)
{
    m_scope = scope;
    // The period goes to the period chooser, where it can be changed.
    m_scope->period = PeriodBounds{INT32_MIN, INT32_MAX};
    m_scopeLabel = label;
    m_filterText->setText(QString::fromStdString(label));
    if (scope.period.from != INT32_MIN || scope.period.to != INT32_MAX)
        m_filterPeriod->chooseDays(scope.period);
    applyFilter();
}

void HistoryDialog::clearFilter()
{
    m_scope.reset();
    m_scopeLabel.clear();
    m_filterText->clear();
    m_filterPeriod->chooseAll();
    applyFilter();
}

void HistoryDialog::applyFilter()
{
    HistoryFilter filter;
    if (m_scope)
        filter.scope = m_scope;
    else
        filter.text = m_filterText->text().toStdString();
    const auto chosen = m_filterPeriod->period();
    if (const auto* refusal = std::get_if<std::string>(&chosen)) {
        // The list stays as it was; leaving the date again says nothing new.
        if (m_refused != m_filterPeriod->typedDates()) {
            m_refused = m_filterPeriod->typedDates();
            m_prompter.inform(*refusal, "Warning");
        }
        return;
    }
    m_refused.clear();
    if (const auto& period = std::get<std::optional<PeriodBounds>>(chosen))
        filter.period = *period;
    if (!(filter == m_history.filter()))
        model().change([&] { m_history.setFilter(std::move(filter)); });
    showTotals();
}

void HistoryDialog::showTotals()
{
    auto describe = [this](const char* what, const HistoryTotals& t, std::size_t of) {
        std::string text = std::string(what) + ": " + FormatCount(t.frames);
        if (of != t.frames)
            text += " of " + FormatCount(of);
        text += t.frames == 1 && of == 1 ? " time frame, " : " time frames, ";
        return text + FormatDuration(t.minutes) + ", " + FormatMoney(m_history.symbol(), t.charges);
    };
    std::string text = describe("Shown", m_history.shownTotals(), m_history.frameCount());
    // Rows picked one by one may come as ranges that touch or overlap.
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (const QItemSelectionRange& r : table()->selectionModel()->selection())
        ranges.emplace_back(static_cast<std::size_t>(r.top()), static_cast<std::size_t>(r.bottom()) + 1);
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<std::size_t, std::size_t>> rows;
    for (const auto& r : ranges) {
        if (!rows.empty() && r.first <= rows.back().second)
            rows.back().second = std::max(rows.back().second, r.second);
        else
            rows.push_back(r);
    }
    const HistoryTotals selected = m_history.totalsOf(rows);
    if (selected.frames > 1)
        text += "      " + describe("Selected", selected, selected.frames);
    m_totals->setText(QString::fromStdString(text));
}

void HistoryDialog::reload()
{
    const SettingsRecord settings = displaySettings(m_path);
    model().change([&] {
        m_history.load(m_path, m_prompter);
        m_history.setFormat(settings.americanDates != 0, fieldText(settings.monetarySymbol));
        m_history.sortBy(m_history.sortColumn());
    });
    showSortColumn(m_history.sortColumn());
    showTotals();
}

void HistoryDialog::sortBy(int column)
{
    model().change([&] { m_history.sortBy(column); });
    showSortColumn(column);
    showTotals();
}

void HistoryDialog::onAdd()
{
    const auto project = m_chooseProject();
    if (!project)
        return;
    const Timestamp now = m_clock.now();
    TimeFrameRecord frame{*project, now, now};
    if (!m_editFrame(frame))
        return;
    appendTimeFrame(frame, m_path, m_prompter);
    reload();
}

void HistoryDialog::onUpdate()
{
    const std::vector<int> rows = selectedRows();
    if (!rows.empty()) {
        const TimeFrameRecord old = m_history.frame(static_cast<std::size_t>(rows.front()));
        TimeFrameRecord edited = old;
        if (m_editFrame(edited)) {
            // The corrected frame moves to the end of the file.
            replaceTimeFrame(siblingPath(m_path, "tfr"), old, edited, m_prompter);
        }
    }
    reload();
}

std::string HistoryDialog::removalDetail(const std::vector<int>& rows) const
{
    FramesSum sum;
    std::vector<bool> selected(m_history.size());
    for (int row : rows) {
        const auto r = static_cast<std::size_t>(row);
        selected[r] = true;
        sum.add(m_history.frame(r), m_history.project(r).pricePerHour);
    }
    // Every frame equal to a selected one goes with it: it is counted as
    // lost too, selected or not.
    if (rows.size() < m_history.size()) {
        std::unordered_set<FrameKey, FrameKeyHash> keys;
        keys.reserve(rows.size());
        for (int row : rows)
            keys.insert(FrameKey::of(m_history.frame(static_cast<std::size_t>(row))));
        for (std::size_t row = 0; row < m_history.size(); ++row) {
            if (!selected[row] && keys.count(FrameKey::of(m_history.frame(row))))
                sum.add(m_history.frame(row), m_history.project(row).pricePerHour);
        }
    }
    const SettingsRecord settings = displaySettings(m_path);
    const std::string symbol = fieldText(settings.monetarySymbol);
    if (sum.count != 1)
        return framesNote(sum, symbol);
    const auto only = static_cast<std::size_t>(rows.front());
    return frameNote(fieldText(m_history.project(only).name), m_history.frame(only),
        m_history.project(only).pricePerHour, settings.americanDates != 0, symbol);
}

void HistoryDialog::onRemove()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    std::vector<TimeFrameRecord> gone;
    for (int row : rows)
        gone.push_back(m_history.frame(static_cast<std::size_t>(row)));
    if (!m_prompter.ask("Are you sure you want to remove the selected items?", removalDetail(rows), "Confirmation"))
        return;
    deleteTimeFrames(siblingPath(m_path, "tfr"), gone, m_prompter);
    reload();
}

} // namespace quillory
