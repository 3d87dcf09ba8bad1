#include "platform/qt/helpkey.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

#include <map>

namespace quillory {

namespace {

const std::map<QString, int>& dialogTopics()
{
    static const std::map<QString, int> topics{
        {QStringLiteral("projectsDialog"), kHelpProjectsTree},
        {QStringLiteral("projectInfoDialog"), kHelpProjectsTree},
        {QStringLiteral("propertiesSheet"), kHelpProperties},
        {QStringLiteral("customersDialog"), kHelpCustomers},
        {QStringLiteral("customerInfoDialog"), kHelpCustomers},
        {QStringLiteral("historyDialog"), kHelpHistory},
        {QStringLiteral("timeFrameDialog"), kHelpHistory},
        {QStringLiteral("hoursDialog"), kHelpWeekChart},
        {QStringLiteral("runningProjectDialog"), kHelpWeekChart},
        {QStringLiteral("helpWindow"), kHelpUsingHelp},
    };
    return topics;
}

} // namespace

HelpKey::HelpKey(HelpService& help, int mainTopic, QObject* parent)
    : QObject(parent)
    , m_help(help)
    , m_mainTopic(mainTopic)
{
}

int HelpKey::topicFor(const QWidget* widget, int mainTopic)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (!w->isWindow())
            continue;
        const auto it = dialogTopics().find(w->objectName());
        if (it != dialogTopics().end())
            return it->second;
    }
    return mainTopic;
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    // The main window's F1 is its menu command's key and never arrives
    // here; in a dialog nothing else takes it.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            m_help.showHelp(topicFor(static_cast<QWidget*>(watched), m_mainTopic));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quillory
