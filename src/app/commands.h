// The program's commands: their numbers, the menu bar, the toolbar and the
// prompt and tooltip of each. The window layer builds its menus and buttons
// from these tables; which command is available when is decided here too.
#pragma once

#include <string>
#include <vector>

namespace quillory {

class CQuilloryDoc;

enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_INDEX = 57666,
    ID_HELP_USING = 57668,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_PROJECTS_EDIT = 32771,
    ID_HISTORY = 32777,
    ID_CUSTOMERS_EDIT = 32778,
    ID_INVOICE = 32784,
    ID_PROPERTIES = 32785,
    ID_CHECK_IN = 32790,
    ID_CHECK_OUT = 32791,
    ID_PAUSE = 32792,
    ID_PIE_CHART = 32793,
    ID_EXPORT = 32796,
    ID_PRINT_GANTT_CHART = 32797,
    ID_IMPORT = 32798,
    ID_SUMMARY = 32799,
    ID_OPTIONS = 32800, // the user's own options (View > Options...)
    // The week chart's popup menus.
    ID_CHANGE_HOURS = 32779,
    ID_PREVIOUS_WEEK = 32780,
    ID_NEXT_WEEK = 32781,
    ID_THIS_WEEK = 32782,
    ID_WHATS_THIS = 32783,
    ID_EDIT_ITEM = 32788,
    ID_DELETE_ITEM = 32789,
};

inline constexpr int kSeparator = 0;

struct MenuEntry {
    std::string text; // "&New...\tCtrl+N": the label, then the shortcut it shows
    int id; // kSeparator for a separator line
};

struct Menu {
    std::string title;
    std::vector<MenuEntry> entries;
};

const std::vector<Menu>& mainMenu();
// Toolbar buttons from left to right, kSeparator between groups.
const std::vector<int>& toolbarButtons();
// The week chart's popup: 139 for an empty place, 140 for a bar (see
// ChartPopup). The week commands show the keys that also reach them.
const std::vector<MenuEntry>& chartPopupMenu(int popup);

// The system-menu (tray) entries: "Check &In", "Check &Out", a separator,
// "&Pause", and, as a window's system menu has Close, a separator and "E&xit".
const std::vector<MenuEntry>& trayMenu();

// The status-bar prompt of a command, and its tooltip (empty when it has none).
std::string commandPrompt(int id);
std::string commandTooltip(int id);
// The icon resource name of a toolbar button ("new", "open", ...).
std::string commandIcon(int id);

inline constexpr const char* kIdlePrompt = "For Help, press F1";

// Whether a command can be chosen now.
bool isCommandEnabled(int id, const CQuilloryDoc& doc);

} // namespace quillory
