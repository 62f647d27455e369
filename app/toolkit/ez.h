// The GUI toolkit interface every form uses. Forms are addressed by their
// two-letter name, controls by numeric id, and events arrive as
// (form, control id, event kind, value, cancel). No Qt type crosses this
// header: the backend behind it (app/toolkit/qt/ on Linux, app/toolkit/win32/
// on Windows) is the only place that knows about widgets.
//
// Units: positions and sizes are in character units of the base font
// (columns horizontally, rows vertically). Negative col/row on EZ_FORM means
// "centre" (on the parent when there is one, else on the screen). The base font
// is DejaVu Sans 9 pt (the application font) on Linux and Segoe UI 9 pt (the
// system's dialog font) on Windows, at the screen's DPI: one column is its
// average character width, one row its line spacing.
//
// Event rules: Change, SelChange and Click are raised for what the user does
// (typing, picking an item, clicking), not when the program sets a value with
// EZ_SETTEXT, EZ_SELECTITEM, EZ_SETCHECK, EZ_LVSELECT, EZ_DTSET ...
//
// Layout of a form: the menu bar, then the toolbar controls (docked at the top),
// then the character grid in which col/row of EZ_CONTROL count from its top-left
// corner, then the status-bar controls (docked at the bottom). The col/row/w/h
// given for a toolbar or status bar are ignored. EZ_FORM's width/height are the
// size of the whole window inside its frame.
//
// Without a running toolkit (plain unit tests) every EZ_ call is a harmless
// no-op returning "" / 0 / false; EZ_TEXTWIDTH/EZ_TEXTHEIGHT then estimate one
// column per character and one row per line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Event kinds
// ---------------------------------------------------------------------------
enum class EzEvent {
    Click,     // button, check box, radio, menu item, toolbar button, accelerator
    DblClick,  // list box item / list-view row (value = row index)
    GotFocus,
    LostFocus,
    Change,       // text edited, list selection changed, date changed, spinner moved
    ToolTip,      // tooltip about to show (informational)
    Key,          // key pressed in a control; value = EzKey code; cancel=1 swallows it
    RightClick,   // value = row/item index under the mouse, -1 when none
    Creating,     // control being created (id of the control)
    Loaded,       // id 0: controls exist, form not yet visible
    Shown,        // id 0: form shown for the first time
    Activated,    // id 0: form became the active window
    Close,        // id 0: form about to close; cancel=1 keeps it open
    Posted,       // delivered by EZ_POSTEVENT; value as posted
    HeaderClick,  // list-view header clicked; value = column index
    SelChange,    // list-view selection changed (value = focused row or -1)
    Resize,       // id 0 form resized, or id of a list view resized
    Drop,         // list box item dragged: value = (from << 16) | to
    MouseOver,    // mouse entered a control (used for help-topic groups)
    Unloaded,     // id 0: form has been destroyed
};

// Key codes reported with EzEvent::Key.
enum EzKey : int {
    kKeyEnter = 13,
    kKeyEsc = 27,
    kKeySpace = 32,
    kKeyDelete = 46,
    kKeyTab = 9,
    kKeyF1 = 112,
    kKeyF2 = 113,
    kKeyF7 = 118,
    kKeyUp = 38,
    kKeyDown = 40,
};

using EzStartProc = void (*)();
using EzEventProc = void (*)(const std::string& form, int id, EzEvent ev, int64_t value,
                             int& cancel);
using EzDesignProc = void (*)(const std::string& form);

// Runs the program: sets up the toolkit, calls start(), then runs the event
// loop until the last form is gone. Returns the process exit code.
int EZ_GUIRUN(int argc, char** argv, EzStartProc start, EzEventProc event, EzDesignProc design);

// True while inside EZ_GUIRUN or a robot session (a QApplication exists).
bool EZ_ISRUNNING();

// ---------------------------------------------------------------------------
// Forms
// ---------------------------------------------------------------------------
// Creates the form, calls the design procedure, raises Loaded, shows it,
// raises Shown. With a parent (non-empty) the form is modal over the parent and
// EZ_FORM returns only after the form has been unloaded; style "N" makes it
// modeless (EZ_FORM returns at once). Style letters: "R" resizable,
// "N" non-modal, "M" modal and blocking even without a parent, "T" tool
// window (no minimise/maximise).
void EZ_FORM(const std::string& name, const std::string& parent, const std::string& caption,
             double col, double row, double width, double height, const std::string& style = "");
// Raises Close (cancel=1 keeps the form), then destroys it and raises Unloaded.
void EZ_UNLOADFORM(const std::string& name);
// Destroys a form without raising Close (teardown); Unloaded is still raised.
void EZ_DESTROYFORM(const std::string& name);
void EZ_HIDEFORM(const std::string& name);
void EZ_SHOWFORM(const std::string& name);
bool EZ_FORMEXISTS(const std::string& name);
// Name of the active form (the top-most modal one, else the last one shown); "" when none.
std::string EZ_CURRENTFORM();
void EZ_SETFORMMINMAX(const std::string& name, double minW, double minH, double maxW, double maxH);
// Geometry in character units (col,row = top-left on the screen).
void EZ_GETFORMPLACE(const std::string& name, double& col, double& row, double& w, double& h);
void EZ_SETFORMPLACE(const std::string& name, double col, double row, double w, double h);
void EZ_CENTERFORM(const std::string& name);
void EZ_BRINGTOFRONT(const std::string& name);
// Screen size in character units.
void EZ_SCREENSIZE(double& cols, double& rows);

// ---------------------------------------------------------------------------
// Controls
// ---------------------------------------------------------------------------
enum class EzKind {
    Button,
    Label,  // style "C" centred, "R" right-aligned, "W" word-wrapped, "L" a link (hand
            // cursor, underlined, a left click raises Click)
    Frame,
    Text,       // single-line text; style "M" multi-line, "R" read-only, "P" password
    Combo,      // drop-down list (not editable)
    ComboEdit,  // drop-down with an editable text
    ListBox,    // style "M" multi-select, "D" items can be dragged to reorder (raises Drop)
    ListView,  // text = columns "Title{width}|Title{width}"; style "M" multi-select, "C" check list
    Check,
    Radio,     // style "G" starts a new group
    DateTime,  // date-time picker
    UpDown,    // spin box with a numeric value
    Progress,
    RichText,   // read-only formatted text
    Picture,    // text = image file name (relative names are looked up in the image folder)
    Toolbar,    // buttons added with EZ_TOOLBUTTON
    StatusBar,  // parts set with EZ_SBPARTS
    Page,       // an invisible container page; controls with EZ_SETPARENT go on it
                // (Page stays last: the toolkit keeps one adapter per kind up to it)
};

// A control made with the id of an existing one replaces it.
void EZ_CONTROL(const std::string& form, int id, EzKind kind, const std::string& text, double col,
                double row, double w, double h, const std::string& style = "");
bool EZ_CONTROLEXISTS(const std::string& form, int id);
// The kind a control was created with; false when the control does not exist.
bool EZ_CONTROLKIND(const std::string& form, int id, EzKind& kind);

// Menus: parent 0 puts the item in the menu bar; a caption "-" is a separator.
// A menu-bar item with no children is a command of its own (raises Click).
void EZ_MENU(const std::string& form, int parentId, int id, const std::string& caption);
void EZ_MENUENABLE(const std::string& form, int id, bool on);

// Context (pop-up) menus. EZ_POPUPMENU defines the menu `menuId` of a form with
// its items (id and caption; a caption "-" is a separator); defining it again
// replaces the items. EZ_SHOWPOPUP opens it at the mouse pointer when the
// pointer is over the form, else below the control `nearId`; it does not
// wait. Choosing an item closes the menu and raises Click with the item's id,
// as a menu-bar item does; Esc or a click elsewhere closes it without one.
// EZ_ISVISIBLE on the menu id or an item id tells whether the menu is open.
struct EzMenuItem {
    int id;
    std::string caption;
};
void EZ_POPUPMENU(const std::string& form, int menuId, const std::vector<EzMenuItem>& items);
void EZ_SHOWPOPUP(const std::string& form, int menuId, int nearId);

// Toolbar: icon is a file in the image folder (PNG/SVG) or a theme icon name
// prefixed with "theme:". A separator is placed before the button when sepBefore.
void EZ_TOOLBUTTON(const std::string& form, int toolbarId, int buttonId, const std::string& icon,
                   const std::string& tooltip, bool sepBefore = false);
void EZ_TBENABLE(const std::string& form, int buttonId, bool on);

// Status bar parts: widths in character units, the last part takes the rest.
void EZ_SBPARTS(const std::string& form, int id, const std::vector<double>& widths);
// A leading tab centres the text in its part.
void EZ_SBSETTEXT(const std::string& form, int id, int part, const std::string& text);

// Accelerator keys ("F1", "F2", "F7", "Ctrl+S" ...) raise Click on a pseudo-control id.
void EZ_ACCEL(const std::string& form, const std::string& key, int pseudoId);

// ---------------------------------------------------------------------------
// Control access
// ---------------------------------------------------------------------------
// id 0 addresses the form itself (its caption). Menu items and toolbar buttons
// may be addressed by EZ_ENABLE / EZ_ISENABLED / EZ_SETTOOLTIP as well.
// Multi-line texts use "\n" line ends ("\r" is dropped when set). Text
// positions (EZ_SELECTTEXT, EZ_GETCURSORPOS) are byte offsets into the UTF-8
// text as EZ_GETTEXT returns it.
std::string EZ_GETTEXT(const std::string& form, int id);
void EZ_SETTEXT(const std::string& form, int id, const std::string& text);
void EZ_SETTEXTLIMIT(const std::string& form, int id, int maxChars);
void EZ_SELECTTEXT(const std::string& form, int id, int start, int length);  // length -1: to end
int EZ_GETCURSORPOS(const std::string& form, int id);
bool EZ_GETCHECK(const std::string& form, int id);
void EZ_SETCHECK(const std::string& form, int id, bool on);
void EZ_ENABLE(const std::string& form, int id, bool on);
bool EZ_ISENABLED(const std::string& form, int id);
void EZ_SHOW(const std::string& form, int id, bool on);
bool EZ_ISVISIBLE(const std::string& form, int id);
void EZ_SETFOCUS(const std::string& form, int id);
int EZ_GETFOCUS(const std::string& form);  // id of the focused control, 0 when none
void EZ_SETFONT(const std::string& form, int id, int fontSlot);
// Colours are slot numbers of EZ_DEFCOLOR, or -1 to keep the default.
void EZ_SETCOLOR(const std::string& form, int id, int fgSlot, int bgSlot);
void EZ_SETTOOLTIP(const std::string& form, int id, const std::string& text);
void EZ_MOVE(const std::string& form, int id, double col, double row, double w, double h);
void EZ_GETPLACE(const std::string& form, int id, double& col, double& row, double& w, double& h);
void EZ_REDRAW(const std::string& form, int id, bool on);  // false suspends redrawing
// Puts an existing control on a Page control (for two-page dialogs).
void EZ_SETPARENT(const std::string& form, int id, int pageId);

// Fonts and colours. Style letters: "B" bold, "I" italic, "S" symbol face.
void EZ_DEFFONT(int slot, const std::string& face, double points, const std::string& style);
void EZ_DEFCOLOR(int slot, int r, int g, int b);
// Slot 750 is the dialog face colour; 0 black; 4 red (predefined).
// Text measurement in character units of the base font.
double EZ_TEXTWIDTH(int fontSlot, const std::string& text);
double EZ_TEXTHEIGHT(int fontSlot, const std::string& text);

// List boxes and combos (index from 0, -1 = none).
int EZ_ADDITEM(const std::string& form, int id, const std::string& text, int64_t data = 0);
void EZ_DELETEITEM(const std::string& form, int id, int index);
void EZ_CLEARITEMS(const std::string& form, int id);
int EZ_ITEMCOUNT(const std::string& form, int id);
std::string EZ_ITEMTEXT(const std::string& form, int id, int index);
void EZ_SETITEMTEXT(const std::string& form, int id, int index, const std::string& text);
int64_t EZ_ITEMDATA(const std::string& form, int id, int index);
int EZ_FINDITEM(const std::string& form, int id, const std::string& text);  // exact, -1
void EZ_SELECTITEM(const std::string& form, int id, int index);  // single select; -1 clears
int EZ_SELECTEDITEM(const std::string& form, int id);            // first selected or -1
bool EZ_ITEMSELECTED(const std::string& form, int id, int index);
void EZ_SETITEMSELECTED(const std::string& form, int id, int index, bool on);  // multi-select

// List views (rows and columns from 0). Cells that start with "{S}X2" / "{S}X1"
// show a checked / unchecked box image; the cell text itself is kept as set.
int EZ_LVADDROW(const std::string& form, int id, const std::vector<std::string>& cells,
                int64_t value = 0);
// Replaces a row's cells and value, or adds a row when row is -1. A list still
// in the order of its last EZ_LVSORT keeps that order: the row goes where the
// sort puts it (after rows with an equal text), or stays when its place still
// fits. Selection and the current row stay with their rows. Returns the row's
// index, -1 when there is no such row.
int EZ_LVPUTROW(const std::string& form, int id, int row, const std::vector<std::string>& cells,
                int64_t value);
// The first row whose value is value; -1 when none.
int EZ_LVFINDVALUE(const std::string& form, int id, int64_t value);
void EZ_LVDELETEROW(const std::string& form, int id, int row);
void EZ_LVCLEAR(const std::string& form, int id);
int EZ_LVROWCOUNT(const std::string& form, int id);
std::string EZ_LVGETCELL(const std::string& form, int id, int row, int col);
void EZ_LVSETCELL(const std::string& form, int id, int row, int col, const std::string& text);
int64_t EZ_LVGETVALUE(const std::string& form, int id, int row);
void EZ_LVSELECT(const std::string& form, int id, int row, bool on);  // row -1: all rows
bool EZ_LVISSELECTED(const std::string& form, int id, int row);
int EZ_LVSELCOUNT(const std::string& form, int id);
// First selected row after fromRow (fromRow -1 searches from the top); -1 when none.
int EZ_LVNEXTSELECTED(const std::string& form, int id, int fromRow);
// Sorts the rows by the text of a column; direction 0 ascending, 1 descending.
void EZ_LVSORT(const std::string& form, int id, int col, int direction);
int EZ_LVCOLCOUNT(const std::string& form, int id);
// Column layout: caption, width in pixels, format word (low two bits: 0 left, 1 right, 2 centre).
void EZ_LVGETCOLUMN(const std::string& form, int id, int col, std::string& caption, int& widthPx,
                    int& format);
void EZ_LVSETCOLUMN(const std::string& form, int id, int col, const std::string& caption,
                    int widthPx, int format);
std::vector<int> EZ_LVCOLUMNORDER(const std::string& form, int id);
// Header image: 0 down arrow, 1 up arrow, anything else none.
void EZ_LVSETHEADERIMAGE(const std::string& form, int id, int col, int image);
double EZ_LVWIDTH(const std::string& form, int id);  // client width in character units
double EZ_PIXELSTOCOLS(int px);
int EZ_COLSTOPIXELS(double cols);

// Date-time pickers.
void EZ_DTSETFORMAT(const std::string& form, int id,
                    const std::string& format);  // e.g. "MM-dd-yyyy HH:mm"
void EZ_DTSETRANGE(const std::string& form, int id, int y1, int m1, int d1, int y2, int m2, int d2);
void EZ_DTSET(const std::string& form, int id, int y, int m, int d, int hour, int minute);
void EZ_DTGET(const std::string& form, int id, int& y, int& m, int& d, int& hour, int& minute);
void EZ_DTMONDAYSTART(const std::string& form, int id, bool mondayFirst);

// Up-down, progress bar: numeric value and range.
void EZ_SETRANGE(const std::string& form, int id, int lo, int hi);
void EZ_SETVALUE(const std::string& form, int id, int value);
int EZ_GETVALUE(const std::string& form, int id);

// Rich text: runs of text, each with its own style; newPara starts a new paragraph before it.
struct EzTextRun {
    std::string text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool newPara = false;
    double points = 0;  // 0 keeps the box's font size
};
void EZ_SETRICHTEXT(const std::string& form, int id, const std::vector<EzTextRun>& runs);

// ---------------------------------------------------------------------------
// Services
// ---------------------------------------------------------------------------
void EZ_DOEVENTS();
// For long work that shows a progress form of its own with a Cancel button:
// lets pending events run like EZ_DOEVENTS, and the test robot keeps playing
// its steps meanwhile (so it can press that form's buttons as a person would).
void EZ_PROGRESSEVENTS();
// The program's command-line arguments after the program name.
std::vector<std::string> EZ_COMMANDARGS();
// Queues (form, id, Posted, value) to the program; delivered after the current event.
void EZ_POSTEVENT(const std::string& form, int id, int64_t value);
// Raises an event on a form at once, as the toolkit would (for example a
// Change after the program has edited a text for the user). Returns the
// cancel flag the event procedure set.
int EZ_SENDEVENT(const std::string& form, int id, EzEvent ev, int64_t value = 0);
// Program folder with a trailing "/" (the executable's folder unless set).
std::string EZ_APPPATH();
void EZ_SETAPPPATH(const std::string& folder);
void EZ_SETIMAGEFOLDER(const std::string& folder);
// Names the program to the desktop: the window class (X11) and the desktop
// entry the windows belong to (Wayland, task bars), e.g. "com.example.Vantrel".
void EZ_SETAPPIDENTITY(const std::string& name, const std::string& desktopId);
// The icon of every window, from image files of several sizes (missing files
// are skipped).
void EZ_SETAPPICON(const std::vector<std::string>& files);
// The toolkit's own simple message box (only the database-creation error uses it).
void EZ_MSGBOX(const std::string& parent, const std::string& text, const std::string& title);
// File dialogs; filter like "PDF Files (*.pdf)|*.pdf". Return "" when cancelled.
std::string EZ_OPENFILEDLG(const std::string& parent, const std::string& title,
                           const std::string& folder, const std::string& filter);
std::string EZ_SAVEFILEDLG(const std::string& parent, const std::string& title,
                           const std::string& folder, const std::string& fileName,
                           const std::string& filter);
