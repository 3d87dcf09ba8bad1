#include "records/historydialog.h"

#include "data/recordfile.h"
#include "data/text.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "records/projectsdialog.h"
#include "records/removalnotes.h"
#include "records/timeframedialog.h"

#include <QTableView>

#include <cstdint>
#include <functional>
#include <unordered_set>

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
        360);
    table()->setObjectName(QStringLiteral("history"));
    m_history.setSortColumn(kHistoryProject);
    reload();
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
}

void HistoryDialog::sortBy(int column)
{
    model().change([&] { m_history.sortBy(column); });
    showSortColumn(column);
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
