// Window placement, list-view column layout, sort arrows and check marks,
// remembered in the settings file.
#pragma once

#include <string>

void RestoreFormPlace(const std::string& form, const std::string& settingsFile, int useSavedSize);
void SaveFormPlace(const std::string& form, const std::string& settingsFile);
// Gives an open form its designed size, whatever size its opener asked for,
// centred on the screen. Forms opened from several places call it on loading.
void KeepDesignedSize(const std::string& form, double width, double height);
void SaveColumnLayout(const std::string& form, int listView);
void RecordColumnOrder(const std::string& form, int listView);
void RestoreColumnLayout(const std::string& form, int listView);
void SetSortArrow(const std::string& form, int listView, int column, int direction);
void SetHeaderImages(const std::string& form, int listView);
void SetCheckMarks(const std::string& form, int listView, bool checked);
int CountChecked(const std::string& form, int listView);
bool IsChecked(const std::string& form, int listView, int row);
