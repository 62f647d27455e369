#include "data/quarters.h"

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/prompt.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "data/dates.h"
#include "data/query.h"

namespace {

const char* const kQuarterNames[4] = {"Jan-Mar", "Apr-Jun", "Jul-Sep", "Oct-Dec"};

std::string Num(int64_t n) {
    return std::to_string(n);
}

std::string Insert(const std::string& table, const std::vector<std::string>& values,
                   const std::string& columns) {
    return slBuildInsertOrUpdate(table, NulJoin(values), columns, "");
}

// Groups several writes so that they are saved together or not at all.

}  // namespace

void QuarterBounds(int32_t quarter, int32_t& startDate, int32_t& endDate) {
    int32_t year = quarter / 10;
    int32_t q = quarter - 10 * year;
    if (quarter <= 0 || q < 1 || q > 4) {
        startDate = endDate = 0;
        return;
    }
    int32_t firstMonth = 3 * q - 2;
    int32_t lastMonth = 3 * q;
    startDate = Mdy2JulianDate(firstMonth, 1, year);
    endDate = Mdy2JulianDate(lastMonth, DaysInMonth(lastMonth, year), year);
}

std::string QuarterName(int32_t quarter, const std::string& quarterText) {
    std::string text = quarter != 0 ? std::to_string(quarter) : quarterText;
    if (text.size() < 5) return {};
    char digit = text[4];
    if (digit < '1' || digit > '4') return {};
    return text.substr(0, 4) + " - " + kQuarterNames[digit - '1'];
}

int32_t QuarterFromName(const std::string& name) {
    int64_t year = Val(name.substr(0, 4));
    std::string rest = name.size() > 7 ? name.substr(7) : std::string();
    int q = 0;
    for (int i = 0; i < 4; ++i) {
        if (rest == kQuarterNames[i]) q = i + 1;
    }
    return static_cast<int32_t>(year * 10 + q);
}

int32_t PreviousQuarter(int32_t quarter) {
    int32_t year = quarter / 10;
    int32_t q = quarter - 10 * year;
    return q == 1 ? (year - 1) * 10 + 4 : year * 10 + q - 1;
}

namespace {

// The tenth day of the quarter, moved back to the Friday before when it is a weekend.
void WriteFilingDeadline(int32_t quarter) {
    int32_t start = 0, end = 0;
    QuarterBounds(quarter, start, end);
    int32_t d = start + 9;
    while (DayOfWeek(d) > 5) --d;
    IniWrite(Paths().settingsFile, "Filing", "Deadline", Num(d));
}

}  // namespace

bool EnsureQuarter(int32_t quarter, bool withDeadline) {
    {
        ResultSet rs("SELECT QID FROM Quarter WHERE QNumber = " + Num(quarter));
        if (!rs.ok()) return false;
        if (rs.next()) {
            // A start cut short after the quarter row was saved never wrote
            // the deadline; with no "Deadline" key at all it is written now
            // ("0" means the reminder has been shown and stays).
            const std::string kAbsent = "\x01";
            if (withDeadline &&
                IniRead(Paths().settingsFile, "Filing", "Deadline", kAbsent) == kAbsent)
                WriteFilingDeadline(quarter);
            return false;
        }
    }
    int32_t start = 0, end = 0;
    QuarterBounds(quarter, start, end);
    if (slExe(Insert("Quarter", {Num(start), Num(end), Num(quarter)},
                     "StartDate,EndDate,QNumber")) != 0) {
        return false;
    }
    if (withDeadline) WriteFilingDeadline(quarter);
    return true;
}

bool RollOverStations() {
    int32_t today = TodayQuarter();
    {
        ResultSet rs("SELECT COUNT(*) as StnCount FROM Stations WHERE QtrID = " + Num(today));
        if (!rs.next() || Val(rs["StnCount"]) != 0) return false;
    }
    int32_t prev = PreviousQuarter(today);
    std::string select =
        Opts().copyStations == 1
            ? "SELECT Calls,License FROM Stations WHERE StnID IN "
              "(SELECT DISTINCT Station FROM Master WHERE Qtr = " +
                  Num(prev) + ") ORDER BY Rank"
            : "SELECT Calls,License FROM Stations WHERE QtrID = " + Num(prev) + " ORDER BY Rank";

    // Either the whole roll-over is saved or none of it, so an interrupted
    // start does not leave the quarter with only some of its stations.
    Transaction tx;
    int rank = 0;
    {
        ResultSet rs(select);
        while (rs.next()) {
            std::string calls = rs["Calls"];
            // A station that cannot be written rolls the whole roll-over back.
            if (slExe(Insert("Stations", {calls, rs["License"], Num(today), Num(rank)},
                             "Calls,License,QtrID,Rank")) != 0)
                return false;
            if (Opts().copyIssues) CopyStationIssues(calls, prev, calls, today);
            ++rank;
        }
    }
    tx.Commit();
    return rank == 0;
}

void CopyStationIssues(const std::string& sourceCalls, int32_t sourceQuarter,
                       const std::string& targetCalls, int32_t targetQuarter) {
    const RowId sourceId = StationIdByCalls(sourceCalls, Num(sourceQuarter));
    const RowId targetId = StationIdByCalls(targetCalls, Num(targetQuarter));
    if (sourceId <= 0 || targetId <= 0) return;  // no such station: nothing to copy
    const std::string s = Num(sourceId), t = Num(targetId);

    int64_t rank = 0;
    {
        ResultSet rs("SELECT MAX(IRank) AS MaxRank FROM Issues WHERE IQtr = " + Num(targetQuarter) +
                     " AND SID = " + t);
        if (rs.next()) rank = Val(rs["MaxRank"]);
    }
    // NULL titles are kept out of the NOT IN list: one NULL would make it match nothing.
    ResultSet rs("SELECT IIssue,IDescription FROM Issues WHERE IQtr = " + Num(sourceQuarter) +
                 " AND SID = " + s + " AND IIssue NOT IN (SELECT IIssue FROM Issues WHERE IQtr = " +
                 Num(targetQuarter) + " AND SID = " + t + " AND IIssue IS NOT NULL)");
    while (rs.next()) {
        ++rank;
        slExe(Insert("Issues", {Num(targetQuarter), t, rs["IIssue"], rs["IDescription"], Num(rank)},
                     "IQtr,SID,IIssue,IDescription,IRank"));
    }
}

bool CreatePreviousQuarter(int32_t sourceQuarter, int32_t newQuarter, bool copy, bool report) {
    // A number without a display name (a year that is not a four-digit number)
    // would give a quarter that can never be shown or chosen.
    if (QuarterName(newQuarter).empty()) {
        if (report) {
            PromptOk("Invalid Quarter", "The year you have specified is not valid.{f10}",
                     "Please enter the year as four digits, as 2011.{f6}");
        }
        return false;
    }
    Transaction tx;
    if (!EnsureQuarter(newQuarter, false)) {
        if (report) {
            PromptOk("Duplicate Quarters Not Permitted",
                     "The quarter you have specified is already on file.{f10}", "");
        }
        return false;
    }
    ResultSet stations("SELECT StnID, Calls FROM Stations WHERE QtrID = " + Num(sourceQuarter) +
                       " ORDER BY Rank");
    int rank = 0;
    while (stations.next()) {
        std::string sourceId = stations["StnID"];
        std::string calls = stations["Calls"];
        slExe(Insert("Stations", {calls, Num(newQuarter), Num(rank++)}, "Calls,QtrID,Rank"));
        if (!copy) continue;
        // The id of the row just written (looking it up by call letters would pick the
        // wrong row if two source stations share them).
        std::string t = Num(slGetInsertID());
        {
            ResultSet issues("SELECT IIssue,IDescription FROM Issues WHERE IQtr = " +
                             Num(sourceQuarter) + " AND SID = " + sourceId + " ORDER BY IRank");
            int issueRank = 0;
            while (issues.next()) {
                slExe(Insert("Issues",
                             {Num(newQuarter), t, issues["IIssue"], issues["IDescription"],
                              Num(issueRank++)},
                             "IQtr,SID,IIssue,IDescription,IRank"));
            }
        }
        ResultSet methods("SELECT Method FROM Methods WHERE MQtrID = " + Num(sourceQuarter) +
                          " AND StnID = " + sourceId);
        while (methods.next()) {
            slExe(
                Insert("Methods", {Num(newQuarter), t, methods["Method"]}, "MQtrID,StnID,Method"));
        }
    }
    tx.Commit();
    return true;
}

std::vector<StationRow> StationsOfQuarter(int32_t quarter) {
    std::vector<StationRow> rows;
    ResultSet rs("SELECT StnID, Calls, License,Rank FROM Stations WHERE QtrID = " +
                 std::to_string(quarter) + " ORDER BY Rank");
    while (rs.next()) rows.push_back({Val(rs["StnID"]), rs["Calls"], rs["License"]});
    return rows;
}
