// F1 wherever the focus is: the help topic of the dialog that has it, or
// the main window's topic. The status bar promises as much ("For Help,
// press F1"). Dialogs are known by their object names, so a dialog needs
// nothing of its own to get its topic.
#pragma once

#include "platform/help.h"

#include <QObject>

class QWidget;

namespace quillory {

class HelpKey final : public QObject {
    Q_OBJECT
public:
    // Install it on the application.
    HelpKey(HelpService& help, int mainTopic, QObject* parent = nullptr);
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The topic for a widget: that of the nearest window around it that has
    // one (a message box takes its dialog's), else `mainTopic`.
    static int topicFor(const QWidget* widget, int mainTopic);

private:
    HelpService& m_help;
    int m_mainTopic;
};

} // namespace quillory
