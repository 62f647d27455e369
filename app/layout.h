// Window placement, list-view column layout, sort arrows and check marks,
// remembered in the settings file.
#pragma once

#include <string>

void RestoreFormPlace(const std::string& form, const std::string& settingsFile, int useSavedSize);
void SaveFormPlace(const std::string& form, const std::string& settingsFile);
void SaveColumnLayout(const std::string& form, int listView);
void RecordColumnOrder(const std::string& form, int listView);
void RestoreColumnLayout(const std::string& form, int listView);
void SetSortArrow(const std::string& form, int listView, int column, int direction);
void SetHeaderImages(const std::string& form, int listView);
void SetCheckMarks(const std::string& form, int listView, bool checked);
int CountChecked(const std::string& form, int listView);
bool IsChecked(const std::string& form, int listView, int row);
