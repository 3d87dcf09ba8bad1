// Reports that follow from refreshing the view (a missing time-frames file,
// say) come back at every activation of the window. This prompter shows such
// a message once and keeps quiet about the same text until the situation is
// reset, so a message box never brings itself back.
#pragma once

#include "platform/prompter.h"

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
        if (buttons == MessageButtons::Ok && text == m_lastShown)
            return MessageAnswer::Ok;
        m_lastShown = text;
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

    // The next message is shown whatever it says.
    void reset() { m_lastShown.clear(); }

private:
    Prompter& m_inner;
    std::string m_lastShown;
};

} // namespace quillory
