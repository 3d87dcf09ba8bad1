// The help window: the bundled HTML topics in a browser with Contents, Back
// and Forward. One window serves every request and is raised on each. It is
// a dialog that blocks nothing, so the desktop keeps it above its owner.
#pragma once

#include "platform/help.h"

#include <QCoreApplication>
#include <QDialog>
#include <QPointer>
#include <QUrl>

class QTextBrowser;

namespace quillory {

class HelpWindow final : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    void showTopic(int context);
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

// The topic of a context number (the index for a number without a topic of
// its own): the installed file beside the program in `programDir`, or the
// copy inside the program.
QUrl helpTopicUrl(int context, const QString& programDir = QCoreApplication::applicationDirPath());

class QtHelpService final : public HelpService {
public:
    explicit QtHelpService(QWidget* owner = nullptr)
        : m_owner(owner)
    {
    }
    void setOwner(QWidget* owner) { m_owner = owner; }
    void showHelp(int context) override;
    HelpWindow* window() const { return m_window; }

private:
    // Gives the help window to `host`, keeping where it is: it stays above
    // `host` and is not blocked while `host` is modal.
    void adopt(QWidget* host);

    QPointer<QWidget> m_owner;
    QPointer<HelpWindow> m_window;
};

} // namespace quillory
