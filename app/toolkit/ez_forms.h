// The vocabulary every form shares: the pseudo-controls of the F1 and F7
// keys, the font and colour slots, the modes of the editors, and the ending
// of an event procedure (Help, F1, Exit) that every form has.
#pragma once

#include <string>

#include "app/toolkit/ez.h"

// Pseudo-controls raised by the accelerators "F1" (help) and "F7" (spell check).
inline constexpr int kHelpKeyId = 911;
inline constexpr int kSpellKeyId = 9999;

// Font slots defined at start (EZ_DEFFONT).
inline constexpr int kFontText = 6;     // sans-serif 9
inline constexpr int kFontBold = 7;     // sans-serif 9 bold
inline constexpr int kFontHeading = 8;  // sans-serif 11 bold
inline constexpr int kFontSymbol = 9;   // symbol face 16
inline constexpr int kFontTitle = 10;   // sans-serif 10 bold
inline constexpr int kFontSized = 20;   // slots 20 to 26: sans-serif 10 to 16 pt

// Font slots of single forms, each defined by its form's design procedure.
// Every form has its own, so no form redefines a slot another one relies on.
inline constexpr int kFontAboutName = 44;      // AB: the product name
inline constexpr int kFontReportHeading = 45;  // SR: the heading
inline constexpr int kFontReportTerms = 46;    // TS: the terms
inline constexpr int kFontNewsHeading = 47;    // WN: the heading
inline constexpr int kFontNewsProduct = 48;    // WN: the product name and new version
inline constexpr int kFontBackupHeading = 49;  // BU: the heading of either layer
inline constexpr int kFontEditorHeading = 50;  // PD: the frame heading

// Colour slots defined at start (EZ_DEFCOLOR): a light desktop theme.
inline constexpr int kColorMenu = 32;
inline constexpr int kColorWindow = 33;
inline constexpr int kColorButtonFace = 34;
inline constexpr int kColorTooltip = 35;
inline constexpr int kColorYellow = 40;
inline constexpr int kColorBlue = 41;
inline constexpr int kColorRed = 42;
inline constexpr int kColorPurple = 43;

// Defines the font slots 6 to 10 and 20 to 26 and the colour slots 32 to 43
// (start-up does it; the GUI test set-up too).
void DefineFontsAndColours();

// How a form's event procedure ends: its Help button, the button that closes
// it, and the help topic it makes current whenever it is activated.
struct FormEnding {
    int help = 0;         // the Help button (0: none)
    int exit = 0;         // the button that closes the form (0: none)
    int activeTopic = 0;  // made current on activation (0: the current topic stays)
};
// The ending every form's event procedure shares: a click on Help or on the
// F1 pseudo-control opens helpTopic; a click on the exit button unloads the
// form (its Close event runs first, so a form with unsaved changes still asks
// and may stay open); the form's activation makes activeTopic the current one.
// Returns true when the event was one of these.
bool CommonFormEvent(const std::string& form, int id, EzEvent ev, const FormEnding& ending,
                     int helpTopic);
