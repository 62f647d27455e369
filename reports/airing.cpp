// The sentence the Issues/Programs list prints about a program's airings.
#include "reports/airing.h"

#include <algorithm>

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
    const size_t n = std::min(a.days.size(), a.minutes.size());
    const auto& d = a.days;
    const auto& t = a.minutes;
    if (n == 0) {
        // Nothing recorded: say so instead of inventing a date.
        return "on dates not recorded; Duration " + duration + ".  ";
    }
    if (n == 2 && freqCheck == "1") {
        return frequency + " times during the period " + DisplayDate(d[0]) + " thru " +
               DisplayDate(d[1]) + " at various times of the day: Duration " + duration +
               " each.  ";
    }
    if (n == 1) {
        return "on " + DisplayDate(d[0]) + " at " + AmPmTime(t[0]) +
               "; Duration: " + TrimChars(duration, ".") + ".  ";
    }
    // Appended piece by piece: this runs for every program of a report.
    std::string text;
    text.reserve(40 * n + duration.size() + 16);
    text += "on ";
    text += DisplayDate(d[0]);
    text += " at ";
    text += AmPmTime(t[0]);
    for (size_t i = 1; i < n; ++i) {
        const int32_t previous = d[i - 1];
        if (d[i] == previous) {
            text += (i + 1 < n && d[i + 1] == d[i]) ? ", " : " and ";
            text += AmPmTime(t[i]);
            continue;
        }
        text += d[n - 1] > d[i] ? "; on " : "; and on ";
        text += DisplayDate(d[i]);
        text += " at ";
        text += AmPmTime(t[i]);
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
