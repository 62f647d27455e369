#include "editors/program_entry.h"

#include <algorithm>

#include "app/base/text_util.h"
#include "data/checked_select.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "data/query.h"
#include "ui/msgbox.h"

namespace {

std::string Num(int64_t v) {
    return std::to_string(v);
}

// Sort key of an airing text; texts that do not parse sort last.
int64_t AiringKey(const std::string& text) {
    int32_t day = 0, minutes = 0;
    if (!ParseAiringText(text, day, minutes)) return INT64_MAX;
    return static_cast<int64_t>(day) * 1440 + minutes;
}

void InsertInOrder(std::vector<std::string>& airings, const std::string& text) {
    const int64_t key = AiringKey(text);
    auto pos = std::find_if(airings.begin(), airings.end(),
                            [&](const std::string& a) { return AiringKey(a) > key; });
    airings.insert(pos, text);
}

// Plain replacement of a typographic character (code point or Windows-1252
// code), nullptr when the character stays.
const char* PlainFor(uint32_t code) {
    switch (code) {
        case 0x2026:
        case 133:
            return "...";
        case 0x2019:
        case 146:
            return "'";
        case 0x201C:
        case 0x201D:
        case 147:
        case 148:
            return "\"";
        default:
            return nullptr;
    }
}

bool Exec(const std::string& sql, std::string& error) {
    if (slExe(sql) == 0) return true;
    error = slGetError();
    if (error.empty()) error = "A database statement failed.";
    return false;
}

// Writes one row: an UPDATE of the row whose key column equals id when that row
// exists, otherwise an INSERT, after which id becomes the new row's key.
bool WriteRow(const std::string& table, const std::string& keyColumn, const std::string& columns,
              const std::vector<std::string>& values, RowId& id, std::string& error) {
    const RowId key = id;
    // A failed look-up must not turn an update into a second row.
    long long count = 0;
    if (key > 0 && !CountWhereChecked(table, keyColumn + " = " + Num(key), count)) {
        error = slGetError();
        return false;
    }
    const bool exists = count > 0;
    const std::string condition = exists ? keyColumn + " = " + Num(key) : std::string();
    if (!Exec(slBuildInsertOrUpdate(table, NulJoin(values), columns, condition), error)) {
        return false;
    }
    if (!exists) {
        const long long newId = slGetInsertID();
        if (newId <= 0) {
            error = "The new " + table + " row got no id.";
            return false;
        }
        id = newId;
    }
    return true;
}

// Creates, for the target station, every addressed issue it lacks, ranked
// after its existing issues, with the description of the source station's
// issue of the same title.
bool CreateMissingIssues(const ProgramEntry& e, RowId sourceStation, std::string& error) {
    const std::string q = Num(e.quarter);
    const std::string target = Num(e.stationId);
    const std::string source = Num(sourceStation);
    // Checks that cannot be made stop the save rather than add issues twice.
    long long rank = 0;
    if (!SelectNumberChecked("Issues", "MAX(IRank)", "IQtr = " + q + " AND SID = " + target,
                             rank)) {
        error = slGetError();
        return false;
    }
    for (const std::string& title : e.issues) {
        const std::string byTitle = " AND IIssue = '" + SqlEscape(title) + "'";
        long long have = 0;
        if (!SelectNumberChecked("Issues", "IID", "IQtr = " + q + " AND SID = " + target + byTitle,
                                 have)) {
            error = slGetError();
            return false;
        }
        if (have > 0) continue;
        ++rank;
        const std::string description =
            SelectText("Issues", "IDescription", "IQtr = " + q + " AND SID = " + source + byTitle);
        const std::string sql =
            slBuildInsertOrUpdate("Issues", NulJoin({q, target, title, description, Num(rank)}),
                                  "IQtr,SID,IIssue,IDescription,IRank", "");
        if (!Exec(sql, error)) return false;
    }
    return true;
}

bool WriteEntry(ProgramEntry& e, RowId copySourceStationId, std::string& error) {
    const std::string q = Num(e.quarter);
    const std::string station = Num(e.stationId);
    if (copySourceStationId > 0 && !CreateMissingIssues(e, copySourceStationId, error)) {
        return false;
    }
    if (!WriteRow("Programs", "PID", "Duration,Title,PDescription",
                  {Trim(e.duration), Trim(e.title), Trim(e.description)}, e.programId, error)) {
        return false;
    }
    const bool range = e.airings.size() == 2;
    const std::string freqCheck = range && e.freqCheck ? "1" : "0";
    const std::string frequency = range ? Trim(e.frequency) : std::string();
    if (!WriteRow("Master", "MID", "Qtr,Issue,Pgm,Station,FreqCheck,Frequency",
                  {q, IssueIdList(e.issues, e.stationId, q), Num(e.programId), station, freqCheck,
                   frequency},
                  e.entryId, error)) {
        return false;
    }
    const std::string mid = Num(e.entryId);
    if (!Exec("DELETE FROM DateTime WHERE MLink = " + mid, error)) return false;
    for (const std::string& airing : e.airings) {
        int32_t day = 0, minutes = 0;
        if (!ParseAiringText(airing, day, minutes)) {
            error = "The airing \"" + airing + "\" is not a date and time.";
            return false;
        }
        const std::string sql = slBuildInsertOrUpdate(
            "DateTime", NulJoin({mid, Num(day), Num(minutes)}), "MLink,AirDate,AirTime", "");
        if (!Exec(sql, error)) return false;
    }
    return true;
}

}  // namespace

std::string QuarterLabel(int32_t quarter) {
    const std::string name = QuarterName(quarter);
    const std::string period = name.size() > 7 ? name.substr(name.size() - 7) : name;
    return period + " " + Num(quarter).substr(0, 4);
}

std::string AiringText(int32_t day, int32_t minutes) {
    return DisplayDate(day) + " " + MilitaryTime(Num(minutes));
}

bool ParseAiringText(const std::string& text, int32_t& day, int32_t& minutes) {
    const size_t blank = text.find(' ');
    if (blank == std::string::npos) return false;
    std::string date = text.substr(0, blank);
    const std::string time = Trim(text.substr(blank + 1));
    const size_t colon = time.find(':');
    if (date.empty() || colon == std::string::npos || colon == 0) return false;
    for (char c : time) {
        if (c != ':' && (c < '0' || c > '9')) return false;
    }
    const int64_t hours = Val(time.substr(0, colon));
    const int64_t mins = Val(time.substr(colon + 1));
    if (hours > 23 || mins > 59 || colon + 1 >= time.size()) return false;
    if (std::count(date.begin(), date.end(), '-') + std::count(date.begin(), date.end(), '/') !=
        2) {
        return false;
    }
    const int32_t jd = Display2JulianDate(date);
    if (jd <= 0) return false;
    day = jd;
    minutes = static_cast<int32_t>(hours * 60 + mins);
    return true;
}

AiringChange AddOrUpdateAiring(std::vector<std::string>& airings, int updateIndex,
                               const std::string& text, int32_t firstDay, int32_t lastDay,
                               const std::string& quarterLabel) {
    int32_t day = 0, minutes = 0;
    if (!ParseAiringText(text, day, minutes)) return AiringChange::Invalid;
    if (day < firstDay || day > lastDay) {
        DgMsgOk(
            "Date Out of Range",
            "The date " + text.substr(0, 10) + " is outside the quarter " + quarterLabel + ".{f10}",
            "Only dates that fall within this quarter can be accepted.{f6}");
        return AiringChange::OutOfRange;
    }
    const bool updating = updateIndex >= 0 && updateIndex < static_cast<int>(airings.size());
    for (size_t i = 0; i < airings.size(); ++i) {
        if (updating && static_cast<int>(i) == updateIndex) continue;
        if (airings[i] == text) {
            DgMsgOk("Duplicate Program Date/Time",
                    "Duplicate program dates/times are not permitted.{f10}", "");
            return AiringChange::Duplicate;
        }
    }
    if (updating) airings.erase(airings.begin() + updateIndex);
    InsertInOrder(airings, text);
    return updating ? AiringChange::Updated : AiringChange::Added;
}

bool MultipleAiringsAvailable(size_t airingCount) {
    return airingCount == 2;
}

bool SaveAvailable(const ProgramEntry& e) {
    if (e.stationId <= 0) return false;
    if (Trim(e.title).empty() || Trim(e.duration).empty() || Trim(e.description).empty()) {
        return false;
    }
    if (e.airings.empty() || e.issues.empty()) return false;
    // The count belongs to a range of two airings; with any other number of
    // airings the (then disabled) box is ignored on saving.
    if (e.freqCheck && MultipleAiringsAvailable(e.airings.size()) && Val(Trim(e.frequency)) <= 0) {
        return false;
    }
    return true;
}

std::string CleanDescription(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        size_t len = 0;
        const char32_t cp = DecodeUtf8(text, i, len);
        // A byte that starts no well-formed character is a Windows-1252 one.
        const uint32_t code = len > 0 ? static_cast<uint32_t>(cp) : c;
        const size_t used = len > 0 ? len : 1;
        if (const char* plain = PlainFor(code)) {
            out += plain;
        } else {
            out.append(text, i, used);
        }
        i += used;
    }
    return out;
}

bool LoadProgramEntry(RowId mid, ProgramEntry& e) {
    const std::string m = Num(mid);
    std::string issueText, pgm, station, freqCheck, frequency, quarter;
    {
        ResultSet rs(
            "SELECT MID,Qtr,Issue,Pgm,Station,FreqCheck,Frequency "
            "FROM Master WHERE MID = " +
            m);
        if (!rs.ok() || !rs.next()) return false;
        quarter = rs["Qtr"];
        issueText = rs["Issue"];
        pgm = rs["Pgm"];
        station = rs["Station"];
        freqCheck = rs["FreqCheck"];
        frequency = rs["Frequency"];
    }
    e.entryId = mid;
    e.quarter = static_cast<int32_t>(Val(quarter));
    e.airings.clear();
    {
        ResultSet rs("SELECT AirDate,AirTime FROM DateTime WHERE MLink = " + m +
                     " ORDER BY AirDate,AirTime");
        while (rs.ok() && rs.next()) {
            e.airings.push_back(AiringText(static_cast<int32_t>(Val(rs["AirDate"])),
                                           static_cast<int32_t>(Val(rs["AirTime"]))));
        }
    }
    e.programId = Val(pgm);
    e.stationId = Val(station);
    e.stationCalls =
        e.stationId > 0 ? SelectText("Stations", "Calls", "StnID = " + Num(e.stationId)) : "";
    ProgramById(e.programId, e.duration, e.title, e.description);
    e.issues.clear();
    std::vector<std::string> ids;
    for (const std::string& part : Split(issueText, "|")) {
        if (Val(part) > 0) ids.push_back(Num(Val(part)));
    }
    if (!ids.empty()) {
        ResultSet rs("SELECT IIssue FROM Issues WHERE IID IN (" + Join(ids, ",") + ")");
        while (rs.ok() && rs.next()) e.issues.push_back(rs["IIssue"]);
    }
    e.freqCheck = Val(freqCheck) == 1;
    e.frequency = frequency;
    return true;
}

bool SaveProgramEntry(ProgramEntry& entry, RowId copySourceStationId, std::string& error) {
    error.clear();
    if (!slIsOpen()) {
        error = "The database is not open.";
        return false;
    }
    ProgramEntry work = entry;
    Transaction tx;
    if (!tx.ok()) {
        error = slGetError();
        return false;
    }
    if (!WriteEntry(work, copySourceStationId, error)) return false;
    if (!tx.Commit()) {
        error = slGetError();
        return false;
    }
    entry.programId = work.programId;
    entry.entryId = work.entryId;
    return true;
}
