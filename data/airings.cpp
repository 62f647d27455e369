// Airings of a program entry and the texts the program list and the editor
// show of them.
#include "data/airings.h"

#include "app/base/text_util.h"
#include "data/dates.h"
#include "data/query.h"

namespace {

std::string MidCondition(RowId mid) {
    return "MLink = " + std::to_string(mid);
}

}  // namespace

Airings LoadAirings(RowId mid) {
    Airings a;
    const int count = CountWhere("DateTime", MidCondition(mid));
    if (count > 0) a.reserve(count);
    ResultSet rs("SELECT AirDate,AirTime FROM DateTime WHERE " + MidCondition(mid) +
                 " ORDER BY AirDate,AirTime");
    while (rs.next()) {
        a.push_back(
            {static_cast<int32_t>(Val(rs["AirDate"])), static_cast<int32_t>(Val(rs["AirTime"]))});
    }
    return a;
}

std::string ListDateCell(RowId mid) {
    const std::string day =
        SelectField("DateTime", "AirDate", MidCondition(mid) + " ORDER BY AirDate LIMIT 1");
    if (day.empty()) return "";  // no airing: an empty cell rather than today's date
    return DisplayDate(static_cast<int32_t>(Val(day)));
}

std::string ListTimeCell(RowId mid, const std::string& freqCheck, const std::string& frequency) {
    if (Val(freqCheck) == 1 && Val(frequency) > 0) return "Various x " + frequency;
    // Of several airings on the earliest day, the earliest time is shown.
    const std::string time =
        SelectField("DateTime", "AirTime", MidCondition(mid) + " ORDER BY AirDate,AirTime LIMIT 1");
    if (time.empty()) return "";
    std::string cell = MilitaryTime(time);
    if (CountWhere("DateTime", MidCondition(mid)) > 1) cell += "*";
    return cell;
}

std::string AiringList(RowId mid) {
    const Airings a = LoadAirings(mid);
    std::string out;
    for (size_t i = 0; i < a.size(); ++i) {
        if (i > 0) out += kAiringSeparator;
        out += DisplayDate(a[i].day) + " " + MilitaryTime(std::to_string(a[i].minutes));
    }
    return out;
}

std::string AiringsOfEntriesWhere(const std::string& masterWhere) {
    return "MLink IN (SELECT +MID FROM Master WHERE " + masterWhere + ")";
}
