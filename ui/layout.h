// Window placement, list-view column layout, sort arrows and check marks,
// remembered in the settings file.
#pragma once

#include <string>
#include <vector>

// A form's place and size in character units.
struct FormPlace {
    double col = 0, row = 0, w = 0, h = 0;
    bool centred = false;  // no usable saved place: centred on the screen
};
// Where a form goes from its saved LastCol, LastRow, FormWid and FormHgt texts,
// its present place and the screen size: the saved size (when used) capped to
// the screen, the saved place when the form fits there, else centred.
FormPlace PlaceFromSettings(const std::string& lastCol, const std::string& lastRow,
                            const std::string& formWid, const std::string& formHgt,
                            const FormPlace& current, double screenCols, double screenRows,
                            bool useSavedSize);
// One column of a list view as the settings file keeps it.
struct ColumnSetting {
    std::string name;
    int width = 0;
    int format = 0;
};
// The "|"-separated Names, Widths and Format lists read by position for a
// list of columnCount columns.
std::vector<ColumnSetting> ColumnLayoutFromSettings(const std::string& namesText,
                                                    const std::string& widthsText,
                                                    const std::string& formatsText,
                                                    int columnCount);

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
