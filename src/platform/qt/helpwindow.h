// The help window: the bundled HTML topics in a browser with Contents, Back
// and Forward. One window serves every request and is raised on each.
#pragma once

#include "platform/help.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace quillory {

class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    void showTopic(int context);
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

// The resource holding the topic of a context number; the index for a
// number without a topic of its own.
QUrl helpTopicUrl(int context);

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
    QPointer<QWidget> m_owner;
    QPointer<HelpWindow> m_window;
};

} // namespace quillory
