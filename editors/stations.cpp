// Plain data operations on stations and on copying stations and issues.
#include "editors/stations.h"

#include <set>

#include "app/base/text_util.h"
#include "data/checked_select.h"
#include "data/query.h"

namespace {

std::string Num(int64_t n) {
    return std::to_string(n);
}

}  // namespace

void NormaliseStation(std::string& calls, std::string& license) {
    calls = ToUpper(Trim(calls));
    license = Trim(license);
}

bool StationInputComplete(const std::string& calls, const std::string& license) {
    return !Trim(calls).empty() && !Trim(license).empty();
}

StationSave SaveStation(int32_t quarter, int64_t stationId, std::string& calls,
                        std::string& license) {
    NormaliseStation(calls, license);
    if (calls.empty() || license.empty()) return StationSave::Empty;

    // Calls is declared COLLATE NOCASE, so this finds the station in any letter case.
    // A check that could not be made saves nothing.
    long long existing = 0;
    if (!SelectNumberChecked("Stations", "StnID",
                             "Calls = " + SqlQuoted(calls) + " AND QtrID = " + Num(quarter),
                             existing))
        return StationSave::Failed;
    if (existing != 0 && existing != stationId) return StationSave::Duplicate;

    std::string statement;
    if (stationId == 0) {
        long long rank = 0;
        if (!SelectNumberChecked("Stations", "MAX(Rank)", "QtrID = " + Num(quarter), rank))
            return StationSave::Failed;
        ++rank;
        statement =
            slBuildInsertOrUpdate("Stations", NulJoin({calls, license, Num(quarter), Num(rank)}),
                                  "Calls,License,QtrID,Rank", "");
    } else {
        statement = slBuildInsertOrUpdate("Stations", NulJoin({calls, license}), "Calls,License",
                                          "StnID = " + Num(stationId));
    }
    return slExe(statement) == 0 ? StationSave::Saved : StationSave::Failed;
}

std::vector<StationRow> StationCopyCandidates(int32_t targetQuarter) {
    std::vector<StationRow> rows;
    const std::string t = Num(targetQuarter);
    ResultSet rs("SELECT DISTINCT Calls, License FROM Stations WHERE QtrID <> " + t +
                 " AND Calls NOT IN (SELECT Calls FROM Stations WHERE QtrID = " + t +
                 ") ORDER BY Calls");
    while (rs.next()) rows.push_back({0, rs["Calls"], rs["License"]});
    return rows;
}

int CopyStationsToQuarter(const std::vector<StationRow>& chosen, int32_t targetQuarter) {
    const std::string t = Num(targetQuarter);
    long long rank = 0;
    if (!SelectNumberChecked("Stations", "COUNT(Calls)", "QtrID = " + t, rank)) return -1;
    // The candidate list holds one entry per distinct city, so the same call
    // letters can be chosen twice; a quarter must not get a station twice.
    std::set<std::string> taken;
    std::vector<std::string> batch;
    int count = 0;
    for (const StationRow& s : chosen) {
        const std::string key = FoldCase(s.calls);
        if (!taken.insert(key).second) continue;
        long long present = 0;
        if (!CountWhereChecked("Stations", "Calls = " + SqlQuoted(s.calls) + " AND QtrID = " + t,
                               present))
            return -1;
        if (present > 0) continue;
        batch.push_back(slBuildInsertOrUpdate("Stations",
                                              NulJoin({s.calls, s.license, t, Num(rank)}),
                                              "Calls,License,QtrID,Rank", ""));
        ++rank;
        ++count;
    }
    if (!ExecAll(batch)) return -1;
    return count;
}

std::vector<IssueItem> StationIssues(int32_t quarter, int64_t stationId) {
    std::vector<IssueItem> items;
    ResultSet rs("SELECT IID,IIssue FROM Issues WHERE IQtr = " + Num(quarter) +
                 " AND SID = " + Num(stationId) + " ORDER BY IRank");
    while (rs.next()) items.push_back({Val(rs["IID"]), rs["IIssue"]});
    return items;
}

std::vector<StationRow> CopyIssueTargets(int32_t quarter, const std::string& sourceCalls) {
    std::vector<StationRow> rows;
    ResultSet rs("SELECT StnID, Calls FROM Stations WHERE QtrID = " + Num(quarter) +
                 " AND Calls <> " + SqlQuoted(sourceCalls));
    while (rs.next()) rows.push_back({Val(rs["StnID"]), rs["Calls"], ""});
    return rows;
}

CopyIssuesResult CopyIssuesToStations(int32_t quarter, const std::vector<IssueItem>& issues,
                                      const std::vector<int64_t>& targetIds) {
    CopyIssuesResult result;
    const std::string q = Num(quarter);
    std::vector<std::string> batch;
    for (int64_t target : targetIds) {
        const std::string t = Num(target);
        const std::string ofTarget = "IQtr = " + q + " AND SID = " + t;
        long long rank = 0;
        if (!SelectNumberChecked("Issues", "MAX(IRank)", ofTarget, rank)) return {false, 0};
        // Titles queued for this target in this batch: the database does not
        // see them yet, and a target must not get the same title twice.
        std::set<std::string> queued;
        for (const IssueItem& issue : issues) {
            long long present = 0;
            if (!CountWhereChecked("Issues", ofTarget + " AND IIssue = " + SqlQuoted(issue.title),
                                   present))
                return {false, 0};
            if (present > 0) continue;
            if (!queued.insert(issue.title).second) continue;
            std::string description;
            if (!SelectChecked("SELECT IDescription FROM Issues WHERE IID = " + Num(issue.id),
                               description))
                return {false, 0};
            ++rank;
            batch.push_back(slBuildInsertOrUpdate(
                "Issues", NulJoin({q, t, issue.title, description, Num(rank)}),
                "IQtr,SID,IIssue,IDescription,IRank", ""));
            ++result.inserted;
        }
    }
    if (!ExecAll(batch)) {
        result.ok = false;
        result.inserted = 0;
    }
    return result;
}
