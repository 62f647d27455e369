// The three entry procedures given to the toolkit.
#pragma once

#include <cstdint>
#include <string>

#include "app/toolkit/ez.h"

void StartApplication();
// Program folder: the executable's folder, or $XDG_DATA_HOME/Vantrel when that is not writable.
std::string AppFolder();
// Tests and the scenario runner set the program folder explicitly.
void SetAppFolderOverride(const std::string& folder);
