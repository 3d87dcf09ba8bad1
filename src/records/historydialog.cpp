#include "records/historydialog.h"

#include "data/recordfile.h"
#include "data/text.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "records/projectsdialog.h"
#include "records/removalnotes.h"
#include "records/timeframedialog.h"

#include <QTableView>

#include <algorithm>
#include <tuple>

namespace quillory {

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

std::string HistoryDialog::removalDetail(const std::vector<TimeFrameRecord>& gone) const
{
    // Every frame equal to a selected one goes with it: they are counted
    // as what is lost, selected or not.
    using Key = std::tuple<std::int32_t, std::int32_t, std::int32_t>;
    const auto keyOf = [](const TimeFrameRecord& f) { return Key{f.projectId, f.start, f.end}; };
    std::vector<Key> keys;
    for (const TimeFrameRecord& f : gone)
        keys.push_back(keyOf(f));
    std::sort(keys.begin(), keys.end());
    FramesSum sum;
    std::optional<std::size_t> only;
    for (std::size_t row = 0; row < m_history.size(); ++row) {
        const TimeFrameRecord& f = m_history.frame(row);
        if (!std::binary_search(keys.begin(), keys.end(), keyOf(f)))
            continue;
        sum.add(f, m_history.project(row).pricePerHour);
        only = row;
    }
    const SettingsRecord settings = displaySettings(m_path);
    const std::string symbol = fieldText(settings.monetarySymbol);
    if (sum.count != 1)
        return framesNote(sum, symbol);
    return frameNote(fieldText(m_history.project(*only).name), m_history.frame(*only),
        m_history.project(*only).pricePerHour, settings.americanDates != 0, symbol);
}

void HistoryDialog::onRemove()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    std::vector<TimeFrameRecord> gone;
    for (int row : rows)
        gone.push_back(m_history.frame(static_cast<std::size_t>(row)));
    if (!m_prompter.ask("Are you sure you want to remove the selected items?", removalDetail(gone), "Confirmation"))
        return;
    deleteTimeFrames(siblingPath(m_path, "tfr"), gone, m_prompter);
    reload();
}

} // namespace quillory
