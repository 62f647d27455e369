#include "app/base/date_settings.h"

DateSettings& Dates() {
    static DateSettings settings;
    return settings;
}

void SetDateSettings(int format, bool slash, bool mondayStart) {
    DateSettings& d = Dates();
    d.format = format;
    d.slash = slash;
    d.separator = slash ? "/" : "-";
    d.mondayStart = mondayStart;
}
