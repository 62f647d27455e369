// Airing texts: the Date and Time cells of the program list, the editor's
// list of airings and the sentence the Issues/Programs list prints.
#include "reports/airing.h"

#include <algorithm>

#include "app/text_util.h"
#include "data/dates.h"
#include "data/query.h"

namespace {

std::string MidCondition(const std::string& mid) {
    return "MLink = " + std::to_string(Val(mid));
}

// Removes blanks, carriage returns and line feeds from both ends.
std::string TrimParagraph(const std::string& text) {
    return TrimChars(text, " \r\n");
}

}  // namespace

Airings LoadAirings(const std::string& mid) {
    Airings a;
    const int count = CountWhere("DateTime", MidCondition(mid));
    if (count > 0) {
        a.days.reserve(count);
        a.minutes.reserve(count);
    }
    ResultSet rs("SELECT AirDate,AirTime FROM DateTime WHERE " + MidCondition(mid) +
                 " ORDER BY AirDate,AirTime");
    while (rs.next()) {
        a.days.push_back(static_cast<int32_t>(Val(rs["AirDate"])));
        a.minutes.push_back(static_cast<int32_t>(Val(rs["AirTime"])));
    }
    return a;
}

std::string ListDateCell(const std::string& mid) {
    const std::string day =
        SelectField("DateTime", "AirDate", MidCondition(mid) + " ORDER BY AirDate LIMIT 1");
    if (day.empty()) return "";  // no airing: an empty cell rather than today's date
    return DisplayDate(static_cast<int32_t>(Val(day)));
}

std::string ListTimeCell(const std::string& mid, const std::string& freqCheck,
                         const std::string& frequency) {
    if (Val(freqCheck) == 1 && Val(frequency) > 0) return "Various x " + frequency;
    // Of several airings on the earliest day, the earliest time is shown.
    const std::string time =
        SelectField("DateTime", "AirTime", MidCondition(mid) + " ORDER BY AirDate,AirTime LIMIT 1");
    if (time.empty()) return "";
    std::string cell = MilitaryTime(time);
    if (CountWhere("DateTime", MidCondition(mid)) > 1) cell += "*";
    return cell;
}

std::string AiringList(const std::string& mid) {
    const Airings a = LoadAirings(mid);
    std::string out;
    for (size_t i = 0; i < a.days.size(); ++i) {
        if (i > 0) out += kAiringSeparator;
        out += DisplayDate(a.days[i]) + " " + MilitaryTime(std::to_string(a.minutes[i]));
    }
    return out;
}

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
