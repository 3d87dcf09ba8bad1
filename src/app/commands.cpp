#include "app/commands.h"

#include "app/document.h"
#include "chart/ganttchart.h"

#include <map>

namespace quillory {

namespace {

// First line: the prompt; after "\n": the tooltip.
const std::map<int, std::string>& commandStrings()
{
    static const std::map<int, std::string> strings{
        {ID_FILE_NEW, "Create a new document\nNew"},
        {ID_FILE_OPEN, "Open an existing document\nOpen"},
        {ID_CHECK_IN, "Check in a project\nCheck In"},
        {ID_CHECK_OUT, "Check out from a running project\nCheck Out"},
        {ID_PAUSE, "Pause all running projects\nPause"},
        {ID_CUSTOMERS_EDIT, "Add, update or delete customers\nCustomers"},
        {ID_PROJECTS_EDIT, "Add, update or delete projects (and sub-projects)\nProjects"},
        {ID_PIE_CHART, "Show a pie chart representing each project's importance\nPie Chart"},
        {ID_HISTORY, "View history of projects charged to your customers\nHistory"},
        {ID_INVOICE, "Invoice a customer of the time spent\nInvoice"},
        {ID_SUMMARY, "Sum up the time and charges of a period by customer, project, month, week or day\nSummary"},
        {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
        {ID_PROPERTIES, "Setup application, your company, invoice, ... information"},
        {ID_EXPORT, "Export data for use with other applications (spreadsheet, database, word processor, ...)"},
        {ID_IMPORT, "Import time frames from other time trackers, tables and calendars"},
        {ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
        {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
        {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
        {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
        {ID_OPTIONS, "Choose whether and when to be asked about time away from the desk"},
        {ID_HELP_INDEX, "List Help topics\nHelp Index"},
        {ID_HELP_USING, "Display instructions about how to use help\nHelp"},
        {ID_CHANGE_HOURS, "Change Gantt Chart's starting and ending hours"},
        {ID_PREVIOUS_WEEK, "View previous week"},
        {ID_NEXT_WEEK, "View next week"},
        {ID_THIS_WEEK, "View this week"},
        {ID_WHATS_THIS, "Get help about this visual item"},
        {ID_EDIT_ITEM, "Change the date, starting time or duration of this time frame"},
        {ID_DELETE_ITEM, "Delete this time frame"},
    };
    return strings;
}

std::string part(int id, bool tooltip)
{
    const auto& strings = commandStrings();
    const auto it = strings.find(id);
    if (it == strings.end())
        return {};
    const auto newline = it->second.find('\n');
    if (newline == std::string::npos)
        return tooltip ? std::string() : it->second;
    return tooltip ? it->second.substr(newline + 1) : it->second.substr(0, newline);
}

} // namespace

const std::vector<Menu>& mainMenu()
{
    static const std::vector<Menu> menus{
        {"&File",
            {{"&New...\tCtrl+N", ID_FILE_NEW}, {"&Open...\tCtrl+O", ID_FILE_OPEN}, {"", kSeparator},
                {"&Import...", ID_IMPORT}, {"&Export...", ID_EXPORT}, {"", kSeparator},
                {"&Properties...", ID_PROPERTIES}, {"", kSeparator}, {"&Print Gantt Chart", ID_PRINT_GANTT_CHART},
                {"P&rint Setup...", ID_FILE_PRINT_SETUP}, {"", kSeparator}, {"E&xit", ID_APP_EXIT}}},
        {"Con&trol",
            {{"Check In\tCtrl+E", ID_CHECK_IN}, {"Check &Out\tCtrl+T", ID_CHECK_OUT}, {"", kSeparator},
                {"&Pause\tCtrl+A", ID_PAUSE}}},
        {"&Customers", {{"&Edit Customers...\tCtrl+U", ID_CUSTOMERS_EDIT}}},
        {"&Projects",
            {{"&Edit Projects...\tCtrl+J", ID_PROJECTS_EDIT}, {"", kSeparator},
                {"Projects &Pie Chart...", ID_PIE_CHART}}},
        {"&Reports",
            {{"&History of charges...\tCtrl+H", ID_HISTORY}, {"&Summary...", ID_SUMMARY}, {"", kSeparator},
                {"&Invoice...\tCtrl+I", ID_INVOICE}}},
        {"&View",
            {{"&Toolbar", ID_VIEW_TOOLBAR}, {"&Status Bar", ID_VIEW_STATUS_BAR}, {"", kSeparator},
                {"&Options...", ID_OPTIONS}}},
        {"&Help",
            {{"&Index", ID_HELP_INDEX}, {"&Using Help", ID_HELP_USING}, {"", kSeparator},
                {"&About Quillory...", ID_APP_ABOUT}}},
    };
    return menus;
}

const std::vector<int>& toolbarButtons()
{
    static const std::vector<int> buttons{
        ID_FILE_NEW,
        ID_FILE_OPEN,
        kSeparator,
        ID_CHECK_IN,
        ID_CHECK_OUT,
        ID_PAUSE,
        kSeparator,
        ID_CUSTOMERS_EDIT,
        ID_PROJECTS_EDIT,
        kSeparator,
        ID_PIE_CHART,
        ID_HISTORY,
        ID_INVOICE,
        kSeparator,
        ID_APP_ABOUT,
    };
    return buttons;
}

const std::vector<MenuEntry>& chartPopupMenu(int popup)
{
    static const std::vector<MenuEntry> common{
        {"&Change Hours...", ID_CHANGE_HOURS},
        {"", kSeparator},
        {"&Previous Week\tAlt+Left", ID_PREVIOUS_WEEK},
        {"&Next Week\tAlt+Right", ID_NEXT_WEEK},
        {"&This Week\tAlt+Home", ID_THIS_WEEK},
        {"", kSeparator},
        {"&What's This?", ID_WHATS_THIS},
    };
    static const std::vector<MenuEntry> onItem = [] {
        std::vector<MenuEntry> entries{
            {"&Edit Item...", ID_EDIT_ITEM}, {"&Delete Item", ID_DELETE_ITEM}, {"", kSeparator}};
        entries.insert(entries.end(), common.begin(), common.end());
        return entries;
    }();
    return popup == kItemPopup ? onItem : common;
}

const std::vector<MenuEntry>& trayMenu()
{
    static const std::vector<MenuEntry> entries{
        {"Check &In", ID_CHECK_IN},
        {"Check &Out", ID_CHECK_OUT},
        {"", kSeparator},
        {"&Pause", ID_PAUSE},
        {"", kSeparator},
        {"E&xit", ID_APP_EXIT},
    };
    return entries;
}

std::string commandPrompt(int id)
{
    return part(id, false);
}

std::string commandTooltip(int id)
{
    return part(id, true);
}

std::string commandIcon(int id)
{
    static const std::map<int, std::string> icons{
        {ID_FILE_NEW, "new"},
        {ID_FILE_OPEN, "open"},
        {ID_CHECK_IN, "checkin"},
        {ID_CHECK_OUT, "checkout"},
        {ID_PAUSE, "pause"},
        {ID_CUSTOMERS_EDIT, "customers"},
        {ID_PROJECTS_EDIT, "projects"},
        {ID_PIE_CHART, "piechart"},
        {ID_HISTORY, "history"},
        {ID_INVOICE, "invoice"},
        {ID_APP_ABOUT, "about"},
    };
    const auto it = icons.find(id);
    return it == icons.end() ? std::string() : it->second;
}

bool isCommandEnabled(int id, const CQuilloryDoc& doc)
{
    switch (id) {
    case ID_PROJECTS_EDIT:
    case ID_HISTORY:
    case ID_CUSTOMERS_EDIT:
    case ID_INVOICE:
    case ID_SUMMARY:
    case ID_PROPERTIES:
    case ID_PIE_CHART:
    case ID_EXPORT:
    case ID_IMPORT:
        return doc.isOpen();
    case ID_CHECK_OUT:
    case ID_PAUSE:
        return !doc.running().empty();
    default:
        return true;
    }
}

} // namespace quillory
