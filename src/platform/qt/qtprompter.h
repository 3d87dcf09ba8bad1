// Message boxes and file choosers on Qt.
#pragma once

#include "platform/prompter.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace quillory {

class QtPrompter final : public Prompter {
public:
    explicit QtPrompter(QWidget* owner = nullptr)
        : m_owner(owner)
    {
    }
    void setOwner(QWidget* owner) { m_owner = owner; }

    MessageAnswer showMessage(
        const std::string& text, const std::string& caption, MessageIcon icon, MessageButtons buttons) override;
    std::optional<std::string> askSaveFileName(const FileDialogRequest& request) override;
    std::optional<std::string> askOpenFileName(const FileDialogRequest& request) override;
    std::size_t askChoice(const std::string& text, const std::string& caption, const std::vector<std::string>& answers,
        std::size_t defaultAnswer, std::size_t cancelAnswer) override;

private:
    QWidget* boxOwner() const;
    std::optional<std::string> askFileName(const FileDialogRequest& request, bool forSaving);
    QPointer<QWidget> m_owner;
};

// "Quillory files (*.qly) | *.qly||" as Qt writes name filters.
QString qtNameFilters(const std::string& filter);

} // namespace quillory
