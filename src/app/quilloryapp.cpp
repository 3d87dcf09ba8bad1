#include "app/quilloryapp.h"

#include "app/commands.h"
#include "chart/awaywatch.h"
#include "chart/quilloryview.h"

#include <QApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPageSetupDialog>

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

CQuilloryApp::CQuilloryApp(const QStringList& arguments)
{
    InitInstance(arguments);
}

CQuilloryApp::~CQuilloryApp()
{
    // The frame goes first; the document then remembers the open data set.
    m_placer.reset();
    m_frame.reset();
    m_doc.reset();
}

void CQuilloryApp::InitInstance(const QStringList& arguments)
{
    m_doc = std::make_unique<CQuilloryDoc>(m_prompter, m_clock, arguments.join(QLatin1Char(' ')).toStdString());
    m_doc->setLocaleDefaults(qtLocaleDefaults);
    m_doc->setDialogs(&m_dialogs);
    m_doc->setInvoiceRequest(&m_invoiceRequest);
    m_frame = std::make_unique<CMainFrame>(*m_doc, m_prompter, m_clock, m_help, m_profile);
    m_prompter.setOwner(m_frame.get());
    m_dialogs.setOwner(m_frame.get());
    m_help.setOwner(m_frame.get());
    m_placer = std::make_unique<DialogPlacer>(m_frame.get());
    QApplication::instance()->installEventFilter(m_placer.get());
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
