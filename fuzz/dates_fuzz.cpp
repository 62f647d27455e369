// Date and time texts: typed and stored dates in every date format, the
// month-day text, minutes of day, and the day numbers they give shown again.
#include <cstdint>
#include <string>

#include "app/base/text_util.h"
#include "data/dates.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AnswerMessagesQuietly();
    auto f = FuzzFields(data, size, 2);
    const std::string& text = f[0];
    for (int format = 0; format <= 2; ++format) {
        SetDateSettings(format, format == 1, false);
        std::string typed = text;
        int32_t jd = Display2JulianDate(typed);
        DisplayDate(jd);
        JulianDate2Display(jd, format, format, "/");
        DashDate(jd, format, 1);
        int32_t shown = jd;
        if (shown != 0) JulianDate2Text(shown, format + 1);
    }
    for (const char* mode : {"MDY", "YMD"}) {
        std::string m = mode;
        if (!text.empty()) Date2JulianDate(text, m);
    }
    MonthDayText(text);
    MilitaryTime(text);
    AmPmTime(static_cast<int32_t>(Val(f[1])));
    return 0;
}
