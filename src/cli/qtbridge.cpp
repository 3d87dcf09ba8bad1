#include "cli/qtbridge.h"

#include "platform/qt/localedates.h"
#include "platform/qt/pdfprintout.h"
#include "reports/printout.h"

#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace quillory::cli {

namespace {

// Qt's chatter about its environment (no runtime folder, say) is no news
// to someone printing an invoice; what goes wrong is.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "qly: %s\n", qPrintable(message));
}

// Fonts need an application object, never a display: the offscreen
// platform serves, whatever platform the environment names for windows (a
// profile's wayland or xcb would abort where there is no display, as over
// ssh or from cron).
void ensureGuiApplication()
{
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    static int argc = 1;
    static char name[] = "qly";
    static char* argv[] = {name, nullptr};
    static const auto app = std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

bool writePdf(const std::string& path, Printout& printout, const std::string& dataSetPath)
{
    ensureGuiApplication();
    return WritePdf(path, printout, DefaultPageLayout(printout.Landscape()), dataSetPath);
}

std::string dayLabel(const CalendarDate& date)
{
    return localeDayLabel(date);
}

} // namespace quillory::cli
