#include "app/quilloryapp.h"

#include "app/commands.h"
#include "app/windowhandover.h"
#include "chart/awaywatch.h"
#include "chart/quilloryview.h"
#include "data/fileio.h"

#include <QApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QSettings>

namespace quillory {

LocaleDefaults qtLocaleDefaults()
{
    const QLocale locale;
    LocaleDefaults defaults = systemLocaleDefaults();
    const QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
    if (!symbol.isEmpty() && locale.language() != QLocale::C)
        defaults.currencySymbol = symbol.toStdString();
    if (locale.language() != QLocale::C)
        defaults.americanDates = isMonthFirstDatePattern(locale.dateFormat(QLocale::ShortFormat).toStdString());
    return defaults;
}

std::string rememberedDataSet()
{
    QSettings settings(QStringLiteral("KORVAN"), QStringLiteral("Quillory"));
    // The path's own bytes, whatever their encoding.
    return settings.value(QStringLiteral("Settings/lastDataSet")).toByteArray().toStdString();
}

void rememberDataSet(const std::string& path)
{
    QSettings settings(QStringLiteral("KORVAN"), QStringLiteral("Quillory"));
    settings.setValue(QStringLiteral("Settings/lastDataSet"), QByteArray::fromStdString(path));
}

std::string startupDataSet(const QStringList& arguments, const std::string& lastOpenedFile)
{
    if (!arguments.isEmpty())
        return arguments.join(QLatin1Char(' ')).toStdString();
    // A start from the desktop's menu or from another folder finds no
    // LastOpenedFile.cfg where it starts; the user's own setting stands in.
    // One that is there, even naming nothing, is the folder's word.
    if (fileSystem().type(lastOpenedFile) == FileType::Missing)
        return rememberedDataSet();
    return {};
}

CQuilloryApp::CQuilloryApp(const QStringList& arguments, std::string lastOpenedFile)
{
    InitInstance(arguments, lastOpenedFile);
}

CQuilloryApp::~CQuilloryApp()
{
    if (m_doc->isOpen())
        rememberDataSet(m_doc->path());
    // qly's commands stop before anything goes; the frame goes next; the
    // document then remembers the open data set.
    m_handover.reset();
    m_helpKey.reset();
    m_placer.reset();
    m_frame.reset();
    m_doc.reset();
}

void CQuilloryApp::InitInstance(const QStringList& arguments, const std::string& lastOpenedFile)
{
    m_doc = std::make_unique<CQuilloryDoc>(
        m_prompter, m_clock, startupDataSet(arguments, lastOpenedFile), lastOpenedFile);
    m_doc->setLocaleDefaults(qtLocaleDefaults);
    m_doc->setDialogs(&m_dialogs);
    m_doc->setInvoiceRequest(&m_invoiceRequest);
    m_frame = std::make_unique<CMainFrame>(*m_doc, m_prompter, m_clock, m_help, m_profile);
    // From now on qly's commands on the data set come to this window.
    m_handover = std::make_unique<WindowHandover>(*m_doc, *m_frame, m_clock);
    m_prompter.setOwner(m_frame.get());
    m_dialogs.setOwner(m_frame.get());
    m_help.setOwner(m_frame.get());
    m_placer = std::make_unique<DialogPlacer>(m_frame.get());
    QApplication::instance()->installEventFilter(m_placer.get());
    m_helpKey = std::make_unique<HelpKey>(m_help, kMainWindowHelp);
    QApplication::instance()->installEventFilter(m_helpKey.get());
    m_frame->setCommandHandler(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    m_frame->view().printController().setPrinter(&m_printer);
    watchTimeAway(*m_frame, *m_doc, m_clock);
    // Placed before it is shown, so that the desktop puts it there at once.
    m_frame->setPlacement(readWindowPlacement(m_profile));
    m_frame->show();
    // The view's first activation: show the reopened data set at once, even
    // where the desktop does not hand the new window the focus.
    m_frame->view().OnActivateView();
}

void CQuilloryApp::SetPrintOrientation(int orientation)
{
    m_printer.setPageOrientation(orientation == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void CQuilloryApp::OnFilePrintSetup()
{
    QPageSetupDialog dialog(&m_printer, m_frame.get());
    dialog.exec();
}

} // namespace quillory
