// How dates are shown: the date part of the program options, loaded with them
// and changed by the options dialog.
#pragma once

#include <string>

struct DateSettings {
    int format = 1;               // Format: 0 YMD, 1 MDY, 2 DMY
    bool slash = false;           // Slash
    std::string separator = "-";  // DateSeparator
    bool mondayStart = false;     // MondayStart
};
DateSettings& Dates();
void SetDateSettings(int format, bool slash, bool mondayStart);
