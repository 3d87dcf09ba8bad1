// HistoryDialog: every recorded time frame with its project, date, start,
// time charged and charge. Time frames are added, corrected and removed here
// and written to the time-frames file at once; Print closes the dialog so
// the history can be printed.
#pragma once

#include "records/history.h"
#include "records/listdialog.h"

#include <functional>
#include <optional>
#include <string>

namespace quillory {

class Clock;
class HelpService;
class Prompter;

class HistoryDialog final : public ListDialog {
    Q_OBJECT
public:
    HistoryDialog(const std::string& dataSetPath, Prompter& prompter, HelpService& help, const Clock& clock,
        QWidget* parent = nullptr);

    // The projects tree for picking the project of a new time frame.
    void setProjectChooser(std::function<std::optional<std::int32_t>()> chooser)
    {
        m_chooseProject = std::move(chooser);
    }
    // The time-frame dialog; false when cancelled.
    void setFrameEditor(std::function<bool(TimeFrameRecord&)> editor) { m_editFrame = std::move(editor); }

    void onAdd() override;
    void onUpdate() override;
    void onRemove() override;
    void sortBy(int column) override;

    const History& history() const { return m_history; }

private:
    void reload();
    // What removing the frames takes: one frame by name, several counted.
    std::string removalDetail(const std::vector<int>& rows) const;

    std::string m_path;
    Prompter& m_prompter;
    const Clock& m_clock;
    History m_history;
    std::function<std::optional<std::int32_t>()> m_chooseProject;
    std::function<bool(TimeFrameRecord&)> m_editFrame;
};

} // namespace quillory
