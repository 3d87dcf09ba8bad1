#include "platform/qt/dialogplacer.h"

#include "platform/windowprofile.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>

namespace quillory {

namespace {

// Set while a window is being shown: a dialog that still settles its size
// in its own show handling (a message box) is centred again.
const char* const kPlacing = "quilloryPlacing";
const char* const kPlaced = "quilloryPlaced";

WindowPlacement placementOf(const QRect& r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

bool isSecondaryWindow(const QWidget* w, const QWidget* mainWindow)
{
    if (!w->isWindow() || w == mainWindow)
        return false;
    const Qt::WindowType type = w->windowType();
    return type == Qt::Dialog || type == Qt::Window || type == Qt::Sheet;
}

} // namespace

DialogPlacer::DialogPlacer(QWidget* mainWindow, QObject* parent)
    : QObject(parent)
    , m_mainWindow(mainWindow)
{
}

void DialogPlacer::place(QWidget* window) const
{
    if (!m_mainWindow)
        return;
    // The window is not framed yet: it will get the frame the main window has.
    const QRect anchor = m_mainWindow->frameGeometry();
    const QRect inner = m_mainWindow->geometry();
    const QSize frame = anchor.size() - inner.size();
    const QSize outer = window->size() + frame;
    const QScreen* screen = m_mainWindow->screen();
    const WindowPlacement area = screen ? placementOf(screen->availableGeometry()) : placementOf(anchor);
    const WindowPlacement p = centredPlacement(outer.width(), outer.height(), placementOf(anchor), area);
    // The client area is placed, not the frame: a window manager puts a
    // window that has no frame yet with its client where it is asked to, so
    // moving the frame's corner there would leave it a title bar too high.
    const QPoint margin = inner.topLeft() - anchor.topLeft();
    window->setGeometry(QRect(QPoint(p.x, p.y) + margin, window->size()));
}

bool DialogPlacer::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::Show && type != QEvent::Resize) || !watched->isWidgetType())
        return false;
    auto* window = static_cast<QWidget*>(watched);
    if (type == QEvent::Resize) {
        if (window->property(kPlacing).toBool())
            place(window);
        return false;
    }
    if (!isSecondaryWindow(window, m_mainWindow) || window->property(kPlaced).toBool())
        return false;
    window->setProperty(kPlaced, true);
    window->setProperty(kPlacing, true);
    place(window);
    QTimer::singleShot(0, window, [window] { window->setProperty(kPlacing, false); });
    return false;
}

} // namespace quillory
