// A Prompter that answers from a script and remembers everything it was
// asked, so a test can drive a command to its end without a real box.
#pragma once

#include "platform/prompter.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace quillory::test {

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
    std::vector<std::string> answers; // the buttons of a question with answers of its own
};

class ScriptedPrompter : public Prompter {
public:
    MessageAnswer showMessage(
        const std::string& text, const std::string& caption, MessageIcon icon, MessageButtons buttons) override;
    std::optional<std::string> askSaveFileName(const FileDialogRequest& request) override;
    std::optional<std::string> askOpenFileName(const FileDialogRequest& request) override;
    std::size_t askChoice(const std::string& text, const std::string& caption, const std::vector<std::string>& answers,
        std::size_t defaultAnswer, std::size_t cancelAnswer) override;

    // Answers to Yes/No questions, in order; a question without an answer
    // left fails the test.
    std::deque<MessageAnswer> answers;
    // The buttons chosen at questions with answers of their own, by index.
    std::deque<std::size_t> choices;
    // Names the file choosers return; nothing stands for Cancel.
    std::deque<std::optional<std::string>> saveNames;
    std::deque<std::optional<std::string>> openNames;

    std::vector<ShownMessage> messages;
    std::vector<FileDialogRequest> saveRequests;
    std::vector<FileDialogRequest> openRequests;

    // Texts of every message shown, in order.
    std::vector<std::string> texts() const;
    void clear();
};

} // namespace quillory::test
