#include "support/scriptedprompter.h"

#include <gtest/gtest.h>

namespace quillory::test {

MessageAnswer ScriptedPrompter::showMessage(
    const std::string& text, const std::string& caption, MessageIcon icon, MessageButtons buttons)
{
    messages.push_back({text, caption, icon, buttons, {}});
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return MessageAnswer::No;
    }
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::size_t ScriptedPrompter::askChoice(const std::string& text, const std::string& caption,
    const std::vector<std::string>& offered, std::size_t, std::size_t cancelAnswer)
{
    messages.push_back({text, caption, MessageIcon::Question, MessageButtons::YesNo, offered});
    if (choices.empty()) {
        ADD_FAILURE() << "unexpected question: " << text;
        return cancelAnswer;
    }
    const std::size_t choice = choices.front();
    choices.pop_front();
    return choice;
}

namespace {

std::optional<std::string> next(std::deque<std::optional<std::string>>& names, const char* what)
{
    if (names.empty()) {
        ADD_FAILURE() << "unexpected " << what << " file chooser";
        return std::nullopt;
    }
    auto name = names.front();
    names.pop_front();
    return name;
}

} // namespace

std::optional<std::string> ScriptedPrompter::askSaveFileName(const FileDialogRequest& request)
{
    saveRequests.push_back(request);
    return next(saveNames, "save");
}

std::optional<std::string> ScriptedPrompter::askOpenFileName(const FileDialogRequest& request)
{
    openRequests.push_back(request);
    return next(openNames, "open");
}

std::vector<std::string> ScriptedPrompter::texts() const
{
    std::vector<std::string> result;
    for (const auto& m : messages)
        result.push_back(m.text);
    return result;
}

void ScriptedPrompter::clear()
{
    messages.clear();
    saveRequests.clear();
    openRequests.clear();
}

} // namespace quillory::test
