// Every dialog and secondary window of the program opens centred over the
// main window, inside the main window's screen, whatever its own parent.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace quillory {

class DialogPlacer final : public QObject {
    Q_OBJECT
public:
    // Watches every window the application shows; install it on the
    // application.
    explicit DialogPlacer(QWidget* mainWindow, QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;
    // Centres a window over the main window now.
    void place(QWidget* window) const;

private:
    QPointer<QWidget> m_mainWindow;
};

} // namespace quillory
