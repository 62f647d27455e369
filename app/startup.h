// The three entry procedures given to the toolkit.
#pragma once

#include <cstdint>
#include <string>

#include "app/toolkit/ez.h"

void StartApplication();
void DesignForm(const std::string& form);
void DispatchEvent(const std::string& form, int id, EzEvent ev, int64_t value, int& cancel);
// Opens the help page of a context number through the platform seam.
void ShowHelp(int topic);
// Program folder: the executable's folder, or $XDG_DATA_HOME/Vantrel when that is not writable.
std::string AppFolder();
// Tests and the scenario runner set the program folder explicitly.
void SetAppFolderOverride(const std::string& folder);
// Defines the font slots 6 to 10 and 20 to 26 and the colour slots 32 to 43
// (start-up does it; GUI tests call it after EzTestInit).
void DefineFontsAndColours();
