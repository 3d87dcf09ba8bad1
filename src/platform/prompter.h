// The program's only way to talk to the user outside its windows: message
// boxes, questions and file choosers. Dialogs and operations report through
// it, so tests answer from a script instead of blocking on a real box.
#pragma once

#include <optional>
#include <string>

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
};

} // namespace quillory
