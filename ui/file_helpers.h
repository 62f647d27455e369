// Overwrite warning, folder creation and the save-changes question.
#pragma once

#include <string>

int ConfirmOverwrite(const std::string& path);
int EnsureFolder(const std::string& path);
int AskSaveChanges(const std::string& form, int control, const std::string& itemName);
