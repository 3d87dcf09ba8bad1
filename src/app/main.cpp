#include "app/document.h"
#include "platform/clock.h"
#include "platform/qt/qtprompter.h"

#include <QApplication>
#include <QMainWindow>
#include <QStringList>

#include <clocale>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Qt adopts the user's locale for the C library; amounts and typed numbers
    // are read and written with a point whatever the language.
    std::setlocale(LC_NUMERIC, "C");

    QStringList args = QApplication::arguments();
    args.removeFirst();
    quillory::QtPrompter prompter;
    quillory::SystemClock clock;
    quillory::CQuilloryDoc doc(prompter, clock, args.join(QLatin1Char(' ')).toStdString());

    QMainWindow window;
    prompter.setOwner(&window);
    doc.setTitleListener([&window](const std::string& title) {
        window.setWindowTitle(QString::fromStdString(quillory::frameCaption(title)));
    });
    window.resize(600, 400);
    window.show();
    return app.exec();
}
