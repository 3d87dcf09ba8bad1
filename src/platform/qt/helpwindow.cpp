#include "platform/qt/helpwindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace quillory {

QUrl helpTopicUrl(int context, const QString& programDir)
{
    QString topic;
    switch (context) {
    case kHelpWeekChart:
        topic = QStringLiteral("topic300.html");
        break;
    case kHelpProperties:
        topic = QStringLiteral("topic400.html");
        break;
    case kHelpProjectsTree:
        topic = QStringLiteral("topic700.html");
        break;
    case kHelpUsingHelp:
        topic = QStringLiteral("usinghelp.html");
        break;
    default:
        topic = QStringLiteral("topic100.html");
        break;
    }
    // Installed topics sit in share/quillory/help beside the program's bin
    // folder, wherever the prefix is; the copies inside the program stand in
    // for them when it runs from its build folder.
    const QString installed = QDir::cleanPath(programDir + QStringLiteral("/../share/quillory/help/") + topic);
    if (!programDir.isEmpty() && QFileInfo(installed).isFile())
        return QUrl::fromLocalFile(installed);
    return QUrl(QStringLiteral("qrc:/help/") + topic);
}

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setWindowTitle(QStringLiteral("Quillory Help"));
    setObjectName(QStringLiteral("helpWindow"));
    auto* bar = new QToolBar(this);
    QAction* contents = bar->addAction(QStringLiteral("&Contents"));
    QAction* back = bar->addAction(QStringLiteral("&Back"));
    QAction* forward = bar->addAction(QStringLiteral("&Forward"));
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QAction::triggered, this, [this] { m_browser->setSource(helpTopicUrl(kHelpIndex)); });
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser);
    resize(560, 620);
}

void HelpWindow::showTopic(int context)
{
    m_browser->setSource(helpTopicUrl(context));
}

void QtHelpService::showHelp(int context)
{
    if (!m_window) {
        m_window = new HelpWindow(m_owner.data());
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        // Closing the main window ends the program, help open or not.
        m_window->setAttribute(Qt::WA_QuitOnClose, false);
    }
    m_window->showTopic(context);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace quillory
