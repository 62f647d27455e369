// Inside of the Windows toolkit: the records behind forms and controls,
// shared by the toolkit's source files, the list view and the robot. Only
// app/toolkit/win32/ includes this.
#pragma once

#include <windows.h>
// (windows.h first: the common controls' header needs its types.)
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/toolkit/ez.h"

namespace ez {

// The window class of every form window (the single-instance code finds the
// main window by it).
inline constexpr wchar_t kFormClass[] = L"VantrelForm";
// The window class of a Page control and of a frame's inside.
inline constexpr wchar_t kPageClass[] = L"VantrelPage";

// Pixels of one column of the base font when no toolkit runs (the Qt
// toolkit's value).
inline constexpr double kColPx = 7.0;

struct Ctl {
    int id = 0;
    EzKind kind = EzKind::Label;
    std::string style;
    HWND hwnd = nullptr;   // the control's window
    HWND buddy = nullptr;  // an up-down's edit box
    HWND tip = nullptr;    // the tool tip window of a toolbar or status bar (owned by it)
    int page = 0;          // the Page control it sits on (0: the form)
    std::string text;      // text as set (labels, pictures)
    std::string tooltip;   // the tool tip as set
    int fontSlot = -1;     // EZ_SETFONT (-1: the base font)
    int fgSlot = -1;       // EZ_SETCOLOR (-1: the default)
    int bgSlot = -1;
    // Geometry as given, in character units (inside the form's grid, or the page).
    double col = 0, row = 0, w = 0, h = 0;
    std::vector<std::string> sbTexts;  // status bar: part texts as set
    std::vector<double> sbWidths;      // status bar: part widths as set
    std::vector<int> buttons;          // toolbar: its button ids, in order
    std::vector<int64_t> itemData;     // list box / combo: the data of each item
    bool mondayFirst = false;          // date-time picker
    int lo = 0, hi = 100;              // up-down / progress range
    HBITMAP image = nullptr;           // picture: the bitmap shown (owned)
    HIMAGELIST images = nullptr;       // toolbar: its button images (owned)
    int dragFrom = -1;                 // list box "D": the item being dragged
    WNDPROC oldProc = nullptr;         // the control's own window procedure (subclassed)
    // What a kind keeps beyond these (the list view's rows), owned by the code
    // that made it; freed with the control.
    std::shared_ptr<void> extra;
};

// A menu bar or pop-up menu item.
struct MenuItem {
    int parent = 0;  // 0: on the menu bar
    std::string caption;
    HMENU sub = nullptr;  // its pop-up when it has children
    bool enabled = true;
};

// An accelerator key.
struct Accel {
    UINT vk = 0;
    bool ctrl = false, shift = false, alt = false;
    int id = 0;  // the pseudo-control raised
};

struct Form {
    std::string name;
    std::string parent;
    uint64_t serial = 0;
    HWND hwnd = nullptr;      // the top-level window (class kFormClass)
    HWND client = nullptr;    // == hwnd: controls sit on the form window itself
    std::map<int, Ctl> ctls;  // by id
    std::vector<int> order;   // control ids in creation order (tab order)
    HMENU menuBar = nullptr;
    std::map<int, MenuItem> menu;  // menu-bar items by id
    std::map<int, HMENU> popups;   // context menus by menu id
    std::map<int, std::vector<EzMenuItem>> popupItems;
    int popupOpen = 0;  // the menu id of the open pop-up (0: none)
    // The item a pop-up menu closed by the program (the robot: EndMenu) chose.
    int popupChoice = 0;
    int fgSlot = -1, bgSlot = -1;  // EZ_SETCOLOR on id 0
    std::map<int, int> toolButtons;         // toolbar button id -> toolbar control id
    std::map<int, std::string> buttonTips;  // toolbar button id -> tool tip
    std::vector<Accel> accels;
    int gridTop = 0;      // pixels above the character grid (the toolbars)
    HWND tips = nullptr;  // the form's tool tip window
    int hoverId = 0;      // the control the mouse is over (MouseOver)
    int focusId = 0;      // the control that has the focus
    // Sizes in pixels (0: none): EZ_SETFORMMINMAX.
    int minW = 0, minH = 0, maxW = 0, maxH = 0;
    bool modal = false;
    bool resizable = false;
    bool tool = false;
    bool loaded = false;
    bool shown = false;  // Shown has been raised (Activated comes after it)
    bool active = false;
    bool inClose = false;
    // The nested loop of a modal form: runs while loopRunning; set false to end it.
    bool loopRunning = false;
    std::vector<HWND> disabled;  // windows a modal form disabled (enabled again when it goes)
};

// Hooks the robot installs to answer dialogs and watch modal forms.
struct Hooks {
    // kind "open"/"save"; returns the answer when the robot takes the dialog.
    std::function<std::optional<std::string>(const std::string& kind, const std::string& title)>
        fileDialog;
    // Returns true when the robot took the toolkit's own message box.
    std::function<bool(const std::string& title, const std::string& text)> msgBox;
    // Told when a form is shown (after Shown); lets the robot guard modal forms.
    std::function<void(const std::string& form, bool modal)> formShown;
    // Called on each turn of a message loop with nothing left to do (the robot
    // plays its next step from here).
    std::function<void()> idle;
};

struct FontDef {
    std::string face;
    double points = 9;
    bool bold = false, italic = false, symbol = false;
};

// An event posted with EZ_POSTEVENT, delivered after the current event.
struct PostedEvent {
    std::string form;
    uint64_t serial = 0;
    int id = 0;
    int64_t value = 0;
};

struct State {
    EzEventProc event = nullptr;
    EzDesignProc design = nullptr;
    std::map<std::string, std::unique_ptr<Form>> forms;
    std::vector<std::string> order;  // forms in the order shown (for EZ_CURRENTFORM)
    std::map<int, FontDef> fontDefs;
    std::map<int, HFONT> fonts;  // made from fontDefs on first use (0: the base font)
    std::map<int, COLORREF> colours;
    std::map<COLORREF, HBRUSH> brushes;
    std::string imageFolder = "Images";
    std::string appPath;
    uint64_t nextSerial = 1;
    int quiet = 0;          // > 0 while the program itself changes a value
    int doEvents = 0;       // > 0 inside EZ_DOEVENTS
    int modalDepth = 0;     // nested modal loops
    bool running = false;   // inside EZ_GUIRUN or a robot session: forms get windows
    bool windows = false;   // windows can be made (a display exists)
    bool mainLoop = false;  // EZ_GUIRUN's loop runs (ends when the last form goes)
    std::vector<PostedEvent> posted;
    std::optional<std::vector<std::string>> commandArgs;
    // Windows asked for while none can be shown (EZ_TAKEUNSHOWN).
    std::vector<std::string> unshown;
    Hooks hooks;
    double colPx = kColPx;
    double rowPx = 15.0;
    UINT dpi = 96;
    HFONT baseFont = nullptr;
    std::vector<HICON> icons;  // EZ_SETAPPICON, largest first
    std::vector<int> iconSizes;
};

State& S();

// UTF-16 to UTF-8 (the seam's Utf8); length -1 reads up to the terminating zero.
std::string Utf8(const wchar_t* text, int length);

// Sets the toolkit up once: common controls, window classes, the base font
// and the character units. Returns false when no window can be made (no
// display): forms then run their events without windows.
bool EnsureToolkit();
bool HaveToolkit();

Form* FindForm(const std::string& name);
Form* FormOfWindow(HWND hwnd);  // the form a window (or its top-level window) belongs to
Ctl* FindCtl(const std::string& form, int id);
// The serial number of a form's current life (0 when it does not exist).
uint64_t FormSerial(const std::string& form);

// Raises an event to the program; returns the cancel flag. Events posted
// meanwhile are delivered when the outermost event has returned.
int Raise(const std::string& form, int id, EzEvent ev, int64_t value = 0);

// While alive, value changes are the program's own and raise no events.
struct Quiet {
    Quiet() { ++S().quiet; }
    ~Quiet() { --S().quiet; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;
};
inline bool IsQuiet() {
    return S().quiet > 0;
}

// Units: one column is the base font's average character width, one row its
// line height, both at the screen's DPI.
int ColsToPx(double cols);
int RowsToPx(double rows);
double PxToCols(double px);
double PxToRows(double px);

// The font and colour of a slot (the base font / black when undefined).
HFONT FontOf(int slot, bool underline = false);
COLORREF ColourOf(int slot);
HBRUSH BrushOf(COLORREF c);

// An image file from the image folder (or an absolute path); "" when missing.
std::string ImagePath(const std::string& file);
// Loads a PNG/BMP/ICO file as a 32-bit top-down bitmap, scaled to w x h when
// both are > 0; its alpha premultiplied (for AlphaBlend) or straight (image
// lists, icons). Null when it cannot.
HBITMAP LoadImageFile(const std::string& path, int w = 0, int h = 0, bool premultiplied = true);

// The control a window belongs to (itself, or a child such as a combo's
// edit box); null when none of the form's.
Ctl* CtlOfWindow(Form* f, HWND hwnd);

// Lays out the docked bars (toolbars at the top, status bars at the bottom)
// and moves the grid below the toolbars.
void LayoutForm(Form* f);
// The background of a form and its pages (the form's colour slot, else the dialog face).
HBRUSH FormBrush(Form* f);
// The form window procedure's handling of its controls' messages; true when handled.
bool ControlMessage(Form* f, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
// Opens a pop-up menu of the form now (EZ_SHOWPOPUP posts this) and raises
// Click for the item chosen.
void ShowPopupNow(Form* f, int menuId, int nearId);

// True while a message loop dispatches a key press whose Key event (and
// accelerator) it has already raised; a key press sent straight to a control
// raises them there.
bool InLoopKey();
// Accelerators and the Key event of a key press in a form; true when the
// press was taken (an accelerator, or a Key event cancelled).
bool TakeKey(HWND hwnd, UINT vk);

// Runs one message loop until done() (checked after every message) or until
// WM_QUIT. Accelerators, dialog keys and posted events are handled.
void RunLoop(const std::function<bool()>& done);
// Handles the messages waiting now, without waiting; false after WM_QUIT.
bool PumpMessages();

// Key code of a virtual key for Key events; 0 when the key raises none.
int KeyCodeOf(UINT vk);
UINT VirtualKeyOf(int ezKey);

// The list view (app/toolkit/win32/ez_listview_win32.cpp): made by EZ_CONTROL,
// its WM_NOTIFY handled there (true when handled).
HWND MakeListView(Form& f, Ctl& c, const std::string& columns, const std::string& style,
                  HWND parent);
bool ListViewNotify(Form& f, Ctl& c, NMHDR* hdr, LRESULT& result);

}  // namespace ez
