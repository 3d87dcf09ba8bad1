// A prompter for measurements: it answers nothing and only counts.
#pragma once

#include "platform/prompter.h"

namespace quillory::bench {

class SilentPrompter : public Prompter {
public:
    MessageAnswer showMessage(const std::string&, const std::string&, MessageIcon, MessageButtons) override
    {
        ++messages;
        return MessageAnswer::Ok;
    }
    std::optional<std::string> askSaveFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> askOpenFileName(const FileDialogRequest&) override { return std::nullopt; }
    int messages = 0;
};

} // namespace quillory::bench
