// Quillory: a time tracker and invoicer.
//
//   src/data      records and record files, calendar, money   (no Qt)
//   src/platform  message boxes, clock, drawing, help          (interfaces; Qt in platform/qt)
//   src/app       the document, the commands, the main frame and this start-up
//   src/chart     the week chart, panels and totals, and the view showing them
//   src/ipc       how qly hands its writes to the window that has the data set open
#include "app/quilloryapp.h"
#include "app/windowhandover.h"

#include <QApplication>

#include <clocale>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(quillory);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QApplication::setOrganizationName(QStringLiteral("KORVAN"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    // Desktops match the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korvan.Quillory"));
    // Qt adopts the user's locale for the C library; numbers are read and
    // written with a point whatever the language.
    std::setlocale(LC_NUMERIC, "C");

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    // The data set is open in a window already: that window comes forward.
    if (quillory::showOtherWindow(arguments, quillory::kLastOpenedFileName))
        return 0;
    quillory::CQuilloryApp quillory(arguments);
    return app.exec();
}
