// CQuilloryApp starts the program: the document reopens the last data set,
// the main frame and its view are built, and the window takes its saved
// rectangle. It also owns the printer settings every printout uses.
#pragma once

#include "app/document.h"
#include "app/documentdialogs.h"
#include "app/mainframe.h"
#include "platform/clock.h"
#include "platform/qt/dialogplacer.h"
#include "platform/qt/helpkey.h"
#include "platform/qt/helpwindow.h"
#include "platform/qt/qtprompter.h"
#include "platform/qt/qtwindowprofile.h"

#include <QPrinter>
#include <QStringList>

#include <memory>

namespace quillory {

class WindowHandover;

enum PrintOrientation { kPortrait = 1, kLandscape = 2 };

class CQuilloryApp {
public:
    // The program's arguments, without the program's name. The last data
    // set is remembered in `lastOpenedFile` and in the user's settings.
    explicit CQuilloryApp(const QStringList& arguments, std::string lastOpenedFile = kLastOpenedFileName);
    ~CQuilloryApp();

    CQuilloryDoc& document() { return *m_doc; }
    CMainFrame& frame() { return *m_frame; }
    QPrinter& printer() { return m_printer; }
    void SetPrintOrientation(int orientation);

private:
    void InitInstance(const QStringList& arguments, const std::string& lastOpenedFile);
    void OnFilePrintSetup();

    QtPrompter m_prompter;
    SystemClock m_clock;
    QtWindowProfile m_profile;
    QtHelpService m_help;
    QtDocumentDialogs m_dialogs{m_prompter, m_help, m_clock};
    QPrinter m_printer;
    InvoiceRequest m_invoiceRequest; // the last invoice confirmed
    std::unique_ptr<CQuilloryDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<WindowHandover> m_handover;
    std::unique_ptr<DialogPlacer> m_placer;
    std::unique_ptr<HelpKey> m_helpKey;
};

// The data set last open for this user, in the program's settings (group
// "Settings", "lastDataSet"); empty when none was.
std::string rememberedDataSet();
void rememberDataSet(const std::string& path);
// What the document is to reopen when the program starts with `arguments`:
// they themselves; else, when `lastOpenedFile` is not there to say, the data
// set this user had open last.
std::string startupDataSet(const QStringList& arguments, const std::string& lastOpenedFile);

// The locale's currency symbol and date order, for a new data set.
LocaleDefaults qtLocaleDefaults();

} // namespace quillory
