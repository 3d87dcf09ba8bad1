#include "platform/qt/helpwindow.h"

#include <QAction>
#include <QApplication>
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
    case kHelpCustomers:
        topic = QStringLiteral("topic500.html");
        break;
    case kHelpHistory:
        topic = QStringLiteral("topic600.html");
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
    : QDialog(parent,
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
            | Qt::WindowCloseButtonHint)
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
    // The keys scroll and follow links at once.
    setFocusProxy(m_browser);
    m_browser->setFocus();
    resize(560, 620);
}

void HelpWindow::showTopic(int context)
{
    m_browser->setSource(helpTopicUrl(context));
}

void QtHelpService::showHelp(int context)
{
    // A modal dialog blocks every window but its own children: help asked
    // for while a dialog is open belongs to that dialog until it closes.
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* host = modal && modal != m_window ? modal : m_owner.data();
    if (!m_window) {
        m_window = new HelpWindow(host);
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        // Closing the main window ends the program, help open or not.
        m_window->setAttribute(Qt::WA_QuitOnClose, false);
    } else if (m_window->parentWidget() != host) {
        adopt(host);
    }
    if (auto* dialog = qobject_cast<QDialog*>(host); dialog && host != m_owner) {
        // Handed on before the dialog goes, or it would take help with it.
        QObject::connect(dialog, &QDialog::finished, m_window, [this] {
            QWidget* next = QApplication::activeModalWidget();
            adopt(next && next != m_window ? next : m_owner.data());
        });
    }
    m_window->showTopic(context);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void QtHelpService::adopt(QWidget* host)
{
    if (!m_window || m_window->parentWidget() == host)
        return;
    const bool shown = m_window->isVisible();
    const QPoint where = m_window->pos();
    m_window->setParent(host, m_window->windowFlags());
    m_window->move(where);
    if (shown)
        m_window->show();
}

} // namespace quillory
