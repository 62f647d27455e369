// The sentence the Issues/Programs list prints about a program's airings.
#include "reports/airing.h"

#include "app/base/text_util.h"
#include "data/dates.h"
#include "data/query.h"

namespace {

// Removes blanks, carriage returns and line feeds from both ends.
std::string TrimParagraph(const std::string& text) {
    return TrimChars(text, " \r\n");
}

}  // namespace

std::string AiringNarrative(const Airings& a, const std::string& freqCheck,
                            const std::string& frequency, const std::string& duration) {
    const size_t n = a.size();
    if (n == 0) {
        // Nothing recorded: say so instead of inventing a date.
        return "on dates not recorded; Duration " + duration + ".  ";
    }
    if (n == 2 && freqCheck == "1") {
        return frequency + " times during the period " + DisplayDate(a[0].day) + " thru " +
               DisplayDate(a[1].day) + " at various times of the day: Duration " + duration +
               " each.  ";
    }
    if (n == 1) {
        return "on " + DisplayDate(a[0].day) + " at " + AmPmTime(a[0].minutes) +
               "; Duration: " + TrimChars(duration, ".") + ".  ";
    }
    // Appended piece by piece: this runs for every program of a report.
    std::string text;
    text.reserve(40 * n + duration.size() + 16);
    text += "on ";
    text += DisplayDate(a[0].day);
    text += " at ";
    text += AmPmTime(a[0].minutes);
    for (size_t i = 1; i < n; ++i) {
        const int32_t day = a[i].day;
        if (day == a[i - 1].day) {
            text += (i + 1 < n && a[i + 1].day == day) ? ", " : " and ";
            text += AmPmTime(a[i].minutes);
            continue;
        }
        text += a[n - 1].day > day ? "; on " : "; and on ";
        text += DisplayDate(day);
        text += " at ";
        text += AmPmTime(a[i].minutes);
    }
    text += "; Duration ";
    text += duration;
    text += ".  ";
    return text;
}

std::string ProgramParagraph(const Airings& a, const std::string& freqCheck,
                             const std::string& frequency, const std::string& duration,
                             const std::string& description) {
    std::string text = "Broadcast ";
    text += AiringNarrative(a, freqCheck, frequency, duration);
    text += description;
    return TrimParagraph(text);
}
