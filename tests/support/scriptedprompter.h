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
};

class ScriptedPrompter : public Prompter {
public:
    MessageAnswer showMessage(
        const std::string& text, const std::string& caption, MessageIcon icon, MessageButtons buttons) override;
    std::optional<std::string> askSaveFileName(const FileDialogRequest& request) override;
    std::optional<std::string> askOpenFileName(const FileDialogRequest& request) override;

    // Answers to Yes/No questions, in order; a question without an answer
    // left fails the test.
    std::deque<MessageAnswer> answers;
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
