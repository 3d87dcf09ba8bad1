// The program's only way to talk to the user outside its windows: message
// boxes, questions and file choosers. Dialogs and operations report through
// it, so tests answer from a script instead of blocking on a real box.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillory {

inline constexpr const char* kAppName = "Quillory";

enum class MessageIcon { Information, Exclamation, Question, Error };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// What a file chooser offers; the filter is written "Description (*.ext) | *.ext||".
struct FileDialogRequest {
    std::string defaultExtension;
    std::string initialName;
    std::string filter;
    bool confirmOverwrite = false;
    bool pathMustExist = false;
    bool fileMustExist = false;
};

class Prompter {
public:
    virtual ~Prompter() = default;

    virtual MessageAnswer showMessage(
        const std::string& text, const std::string& caption, MessageIcon icon, MessageButtons buttons)
        = 0;
    // The chosen full path, or nothing when the user cancels.
    virtual std::optional<std::string> askSaveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> askOpenFileName(const FileDialogRequest& request) = 0;
    // A question whose answers are buttons of their own ("&" before a
    // button's mnemonic): the index of the one chosen. Enter gives
    // `defaultAnswer`, Escape and the close box `cancelAnswer`. A prompter
    // that cannot ask anybody answers `cancelAnswer`, which must be the
    // answer that changes nothing.
    virtual std::size_t askChoice([[maybe_unused]] const std::string& text, [[maybe_unused]] const std::string& caption,
        [[maybe_unused]] const std::vector<std::string>& answers, [[maybe_unused]] std::size_t defaultAnswer,
        std::size_t cancelAnswer)
    {
        return cancelAnswer;
    }

    // A file that could not be opened or saved: prefix and full name,
    // captioned with the program's name and the exclamation icon.
    void reportFileError(const std::string& prefix, const std::string& path)
    {
        showMessage(prefix + path, kAppName, MessageIcon::Exclamation, MessageButtons::Ok);
    }
    // A command that refuses to run.
    void inform(const std::string& text, const std::string& caption = "Warning")
    {
        showMessage(text, caption, MessageIcon::Information, MessageButtons::Ok);
    }
    // A Yes/No question; true for Yes.
    bool ask(const std::string& text, const std::string& caption = "Confirmation")
    {
        return showMessage(text, caption, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes;
    }
    // The same with a paragraph of detail under the question (none when
    // `detail` is empty): what the answer Yes gives up.
    bool ask(const std::string& text, const std::string& detail, const std::string& caption)
    {
        return ask(withDetail(text, detail), caption);
    }
    // A message and the paragraph under it, as every prompter receives them:
    // apart by one empty line.
    static std::string withDetail(const std::string& text, const std::string& detail)
    {
        return detail.empty() ? text : text + kDetailSeparator + detail;
    }
    static constexpr const char* kDetailSeparator = "\n\n";
};

} // namespace quillory
