// Reports that follow from refreshing the view (a missing time-frames file,
// say) come back at every activation of the window. This prompter shows such
// a message once and keeps quiet about the same text until the situation is
// reset, so a message box never brings itself back.
#pragma once

#include "platform/prompter.h"

#include <set>
#include <string>

namespace quillory {

class RepeatGuardPrompter final : public Prompter {
public:
    explicit RepeatGuardPrompter(Prompter& inner)
        : m_inner(inner)
    {
    }
    MessageAnswer showMessage(
        const std::string& text, const std::string& caption, MessageIcon icon, MessageButtons buttons) override
    {
        if (buttons == MessageButtons::Ok) {
            ++m_reports;
            if (!m_shown.insert(text).second)
                return MessageAnswer::Ok;
        }
        return m_inner.showMessage(text, caption, icon, buttons);
    }
    std::optional<std::string> askSaveFileName(const FileDialogRequest& r) override
    {
        return m_inner.askSaveFileName(r);
    }
    std::optional<std::string> askOpenFileName(const FileDialogRequest& r) override
    {
        return m_inner.askOpenFileName(r);
    }
    std::size_t askChoice(const std::string& text, const std::string& caption, const std::vector<std::string>& answers,
        std::size_t defaultAnswer, std::size_t cancelAnswer) override
    {
        return m_inner.askChoice(text, caption, answers, defaultAnswer, cancelAnswer);
    }

    // Every message is shown again, once.
    void reset() { m_shown.clear(); }
    // Reports made so far, shown or kept quiet.
    long reports() const { return m_reports; }

private:
    Prompter& m_inner;
    std::set<std::string> m_shown;
    long m_reports = 0;
};

} // namespace quillory
