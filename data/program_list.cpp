// The rows of the main window's program list, and deleting an entry.
#include "data/program_list.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "app/base/text_util.h"
#include "data/airings.h"
#include "data/checked_select.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "data/query.h"

namespace {

bool IsPlainInteger(const std::string& text) {
    if (text.empty()) return false;
    size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

bool IsDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// The first airing of an entry the way the list's Time cell picks it: the
// earliest day, and on that day the earliest time.
struct FirstAiring {
    int count = 0;
    int64_t day = 0;
    int64_t minute = 0;
    std::string timeText;
    bool irregular = false;  // a day or time that is not a plain integer: use the lookups
};

// Issue titles of an "|"-joined id list, the way "IID IN (...)" returns them:
// each id once, in ascending id order. Falls back to the query itself for
// ids outside the preloaded quarter or text that is not a plain id list.
std::string IssueTitles(const std::string& issueList,
                        const std::unordered_map<int64_t, std::string>& titles) {
    std::vector<std::string> kept;
    for (const std::string& part : Split(issueList, "|"))
        if (Val(part) > 0) kept.push_back(part);
    if (kept.empty()) return "";

    std::vector<int64_t> ids;
    bool plain = true;
    for (const std::string& part : kept) {
        if (!IsDigits(part) || part.size() > 18) {
            plain = false;
            break;
        }
        ids.push_back(Val(part));
    }
    if (plain) {
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        std::vector<std::string> out;
        for (int64_t id : ids) {
            auto it = titles.find(id);
            if (it == titles.end()) {
                plain = false;
                break;
            }
            out.push_back(it->second);
        }
        if (plain) return Join(out, "|");
    }
    std::vector<std::string> out;
    ResultSet rs("SELECT IIssue FROM Issues WHERE IID IN (" + Join(kept, ",") + ")");
    while (rs.next()) out.push_back(rs["IIssue"]);
    return Join(out, "|");
}

// The columns of one entry as the list's select gives them.
struct EntryRow {
    std::string mid, airDates, issue, station, freqCheck, frequency, title, duration;
};

// Reads rows of select (without its ORDER BY) into out; false when a read
// failed before the last row.
bool ReadEntryRows(const std::string& select, const char* order, std::vector<EntryRow>& out) {
    ResultSet rs(select + order);
    while (rs.next())
        out.push_back({rs["MID"], rs["AirDates"], rs["Issue"], rs["Station"], rs["FreqCheck"],
                       rs["Frequency"], rs["Title"], rs["Duration"]});
    return rs.complete();
}

// The entries in list order (by AirDates). Sorting makes SQLite read every
// row before it hands out the first, so in a damaged file the sorted select
// yields nothing: then the rows before the damage are read unsorted and
// sorted here the way SQLite sorts text (byte order), so that the list shows
// what can be read.
std::vector<EntryRow> ReadEntries(const std::string& select) {
    std::vector<EntryRow> rows;
    if (ReadEntryRows(select, " ORDER BY Airdates", rows) || !rows.empty()) return rows;
    ReadEntryRows(select, "", rows);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const EntryRow& a, const EntryRow& b) { return a.airDates < b.airDates; });
    return rows;
}

// The rows of a quarter and station (0 = all stations); only entry `only`
// when it is not 0, whose look-ups then read just what that entry needs.
std::vector<ProgramListRow> BuildRows(int32_t quarter, RowId stationId, RowId only) {
    const std::string q = std::to_string(quarter);
    const std::string entriesClause =
        (stationId > 0 ? " AND Station = " + std::to_string(stationId) : std::string()) +
        (only ? " AND MID = " + std::to_string(only) : "");
    std::vector<ProgramListRow> rows;

    // Airings of every entry listed, in one pass.
    std::unordered_map<int64_t, FirstAiring> airings;
    {
        ResultSet rs(only ? "SELECT MLink,AirDate,AirTime FROM DateTime WHERE MLink = " +
                                std::to_string(only)
                          : "SELECT MLink,AirDate,AirTime FROM DateTime WHERE " +
                                AiringsOfEntriesWhere("Qtr = " + q + entriesClause));
        while (rs.next()) {
            FirstAiring& a = airings[Val(rs["MLink"])];
            const std::string dayText = rs["AirDate"];
            const std::string timeText = rs["AirTime"];
            ++a.count;
            if (!IsPlainInteger(dayText) || !IsPlainInteger(timeText)) {
                a.irregular = true;
                continue;
            }
            int64_t day = Val(dayText), minute = Val(timeText);
            if (a.count == 1 || day < a.day || (day == a.day && minute < a.minute)) {
                a.day = day;
                a.minute = minute;
                a.timeText = timeText;
            }
        }
    }
    // One entry looks its station and issue titles up one by one below.
    std::unordered_map<std::string, std::string> calls;
    std::unordered_map<int64_t, std::string> titles;
    if (!only) {
        {
            ResultSet rs("SELECT StnID,Calls FROM Stations WHERE QtrID = " + q);
            while (rs.next()) calls[rs["StnID"]] = rs["Calls"];
        }
        ResultSet rs("SELECT IID,IIssue FROM Issues WHERE IQtr = " + q);
        while (rs.next()) titles[Val(rs["IID"])] = rs["IIssue"];
    }

    // Few distinct days and times recur over thousands of rows.
    std::unordered_map<int64_t, std::string> dates, times;

    const std::vector<EntryRow> entries = ReadEntries(
        "SELECT MID,AirDates,Issue,Pgm,Station,FreqCheck,Frequency,"
        "Title,Duration FROM Master,Programs WHERE "
        "Programs.PID = Master.Pgm AND Qtr = " +
        q + entriesClause);
    for (const EntryRow& e : entries) {
        ProgramListRow row;
        row.mid = Val(e.mid);
        const std::string& freqCheck = e.freqCheck;
        const std::string& frequency = e.frequency;

        auto a = airings.find(row.mid);
        bool regular = a != airings.end() && !a->second.irregular;
        std::string date, time;
        if (regular) {
            auto d = dates.find(a->second.day);
            if (d == dates.end())
                d = dates.emplace(a->second.day, DisplayDate(static_cast<int32_t>(a->second.day)))
                        .first;
            date = d->second;
            if (Val(freqCheck) == 1 && Val(frequency) > 0) {
                time = "Various x " + frequency;
            } else {
                auto t = times.find(a->second.minute);
                if (t == times.end())
                    t = times.emplace(a->second.minute, MilitaryTime(a->second.timeText)).first;
                time = t->second + (a->second.count > 1 ? "*" : "");
            }
        } else {
            date = ListDateCell(row.mid);
            time = ListTimeCell(row.mid, freqCheck, frequency);
        }

        const std::string& station = e.station;
        auto c = calls.find(station);
        if (c == calls.end())
            c = calls.emplace(station, SelectText("Stations", "Calls", "StnID = " + station)).first;

        row.cells = {date, time, c->second, e.title, IssueTitles(e.issue, titles), e.duration};
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

std::vector<ProgramListRow> ProgramListRows(int32_t quarter, RowId stationId) {
    return BuildRows(quarter, stationId, 0);
}

std::optional<ProgramListRow> ProgramListRowOf(int32_t quarter, RowId stationId, RowId mid) {
    if (mid <= 0) return std::nullopt;
    std::vector<ProgramListRow> rows = BuildRows(quarter, stationId, mid);
    if (rows.empty()) return std::nullopt;
    return std::move(rows.front());
}

bool DeleteProgramEntry(RowId mid) {
    const std::string m = std::to_string(mid);
    // A look-up that fails must not leave the entry's program text behind.
    std::string pgm;
    if (!SelectChecked("SELECT Pgm FROM Master WHERE MID = " + m, pgm)) return false;
    int64_t pid = Val(pgm);
    std::vector<std::string> batch;
    if (pid > 0) batch.push_back("DELETE FROM Programs WHERE PID = " + std::to_string(pid));
    batch.push_back("DELETE FROM DateTime WHERE MLink = " + m);
    batch.push_back("DELETE FROM Master WHERE MID = " + m);
    return ExecAll(batch);
}

int DaysToEndOfQuarter(int32_t quarter) {
    int32_t start = 0, end = 0;
    QuarterBounds(quarter, start, end);
    int64_t days = static_cast<int64_t>(end) - TodayJulian() + 1;
    return days > 0 ? static_cast<int>(days) : 0;
}
