// Overwrite warning, folder creation and the save-changes question.
#pragma once

#include <string>

int ConfirmOverwrite(const std::string& path);
int EnsureFolder(const std::string& path);
int AskSaveChanges(const std::string& form, int control, const std::string& itemName);
// A file shipped with the program (relative to the program folder, such as
// "History.rtf" or "Images/x.png"): from the data folder when a copy is there,
// else from beside the executable, where an installed copy keeps it.
std::string ResourcePath(const std::string& relative);
