// Toolkit functions that only the tests, the robot and the scenario runner
// use: installing a test's own forms, replacing the command line, and reading
// back state the program only ever sets. They live in the testing library
// (vantrel_toolkit_testing), which the program itself does not link.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/toolkit/ez.h"

// Replaces the event and design procedures (tests install their own forms).
void EZ_SETPROCS(EzEventProc event, EzDesignProc design);
// Replaces the arguments EZ_COMMANDARGS reports.
void EZ_SETCOMMANDARGS(const std::vector<std::string>& args);

// Inserts an item into a list box or combo before index (at the end when out of range).
void EZ_INSERTITEM(const std::string& form, int id, int index, const std::string& text,
                   int64_t data = 0);
bool EZ_MENUISENABLED(const std::string& form, int id);
bool EZ_TBISENABLED(const std::string& form, int buttonId);
// The text of a status bar part as it was set (a leading tab, which centres it, included).
std::string EZ_SBGETTEXT(const std::string& form, int id, int part);
// The tooltip of a control, menu item or toolbar button ("" when none).
std::string EZ_GETTOOLTIP(const std::string& form, int id);
// The pixel sizes the program's window icon holds, smallest first.
std::vector<int> EZ_APPICONSIZES();
// The windows asked for while no toolkit was running (forms, message boxes,
// file dialogs), oldest first; the list is emptied.
std::vector<std::string> EZ_TAKEUNSHOWN();
// The header image of a list-view column (as EZ_LVSETHEADERIMAGE set it).
int EZ_LVGETHEADERIMAGE(const std::string& form, int id, int col);
// Saves a PNG of a form. Returns false when it cannot.
bool EZ_SCREENSHOT(const std::string& form, const std::string& pngPath);
