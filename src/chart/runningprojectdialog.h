// "Select a running project": the running projects by name, in check-in
// order, the first selected; OK or a double-click chooses.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

class QListWidget;

namespace quillory {

class Prompter;

class RunningProjectDialog final : public QDialog {
    Q_OBJECT
public:
    RunningProjectDialog(const std::vector<std::int32_t>& ids, const std::string& projectsFile, Prompter& prompter,
        QWidget* parent = nullptr);
    // The chosen id after OK, -1 otherwise.
    std::int32_t selectedId() const { return m_nSelectedId; }
    QListWidget* list() const { return m_list; }
    void accept() override;

private:
    std::vector<std::int32_t> m_ids;
    std::int32_t m_nSelectedId = -1;
    QListWidget* m_list;
};

} // namespace quillory
