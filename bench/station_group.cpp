#include "bench/station_group.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "data/quarters.h"
#include "data/query.h"
#include "data/schema.h"

namespace {

struct FinalizeStatement {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};

// One prepared insert, bound and run once per row.
class Insert {
public:
    explicit Insert(const char* sql) {
        sqlite3_stmt* raw = nullptr;
        ok_ = sqlite3_prepare_v2(slHandle(), sql, -1, &raw, nullptr) == SQLITE_OK;
        stmt_.reset(raw);
    }
    Insert& Int(int column, long long value) {
        sqlite3_bind_int64(stmt_.get(), column, value);
        return *this;
    }
    Insert& Text(int column, const std::string& value) {
        sqlite3_bind_text(stmt_.get(), column, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    // Runs the statement; false when it failed (or was never prepared).
    bool Run() {
        if (!ok_) return false;
        const bool done = sqlite3_step(stmt_.get()) == SQLITE_DONE;
        sqlite3_reset(stmt_.get());
        ok_ = done;
        return done;
    }

private:
    std::unique_ptr<sqlite3_stmt, FinalizeStatement> stmt_;
    bool ok_ = false;
};

const std::vector<std::string> kIssueTitles = {
    "Affordable Housing",
    "Public Safety and Policing",
    "Education and Schools",
    "Access to Health Care",
    "Local Economy and Jobs",
    "Roads and Public Transportation",
    "Water Quality and the Environment",
    "Services for Seniors",
    "Youth Programs and Recreation",
    "Drug and Alcohol Abuse",
    "Government Accountability",
    "Agriculture and Rural Life",
    "Veterans' Affairs",
    "Homelessness",
    "Mental Health",
    "Immigration and New Residents",
    "Emergency Preparedness",
    "Arts, Culture and Heritage",
    "Voting and Elections",
    "Consumer Protection and Scams",
    "Child Care Costs",
    "Broadband in Rural Areas",
    "Small Business Growth",
    "Energy Prices and Utilities",
};

const std::vector<std::string> kShows = {
    "Talk of the Town", "Community Forum", "Public Affairs Hour", "Morning Report",
    "Neighbors",        "Focus on",        "Weekend Journal",     "Spotlight",
    "Health Matters",   "Town Hall Live",  "The Valley Today",    "Caf\xC3\xA9 Conversations",
    "Newsmakers",       "Your Money",      "Ag Report",           "Straight Talk",
};

const std::vector<std::string> kGuests = {
    "the mayor and two city council members",
    "the county sheriff",
    "the superintendent of schools",
    "a nurse practitioner from the regional clinic",
    "the director of the food bank",
    "volunteers from the neighborhood association",
    "the head of the chamber of commerce",
    "a counselor from the family services center",
    "the state representative for the district",
    "the extension agent of the university",
    "Mar\xC3\xAD"
    "a Pe\xC3\xB1"
    "a of the community action agency",
    "the fire chief and the emergency management coordinator",
};

const std::vector<std::string> kTopics = {
    "rising rents and the waiting list for assisted housing",
    "a string of burglaries and the new neighborhood watch",
    "the school budget vote and crowded classrooms",
    "the closing of the rural hospital's maternity ward",
    "layoffs at the plant and retraining programs",
    "the bridge repairs and the new bus routes",
    "the boil-water notice and the plan to replace old pipes",
    "meals on wheels and transportation for seniors",
    "summer programs for teenagers",
    "opioid overdoses and where families can find help",
    "the audit of the city's finances",
    "drought and crop prices",
    "benefits that veterans often miss",
    "the shelter's winter capacity",
    "the shortage of counselors and crisis lines",
    "language classes and services for new residents",
    "flood season and how to sign up for alerts",
    "the festival and the restoration of the old theater",
    "polling places and registration deadlines",
    "telephone scams aimed at the elderly",
};

const std::vector<std::string> kClosings = {
    "Listeners called in with questions.",
    "The program closed with a list of local resources and phone numbers.",
    "Follow-up coverage is planned for next month.",
    "Guests answered questions sent in by e-mail and text.",
    "The discussion included what residents can do right now.",
    "",
};

const std::vector<std::string> kDurations = {"30 minutes", "1 hour",    "5 min.", "28:30",
                                             "60 minutes", "2 minutes", "15 min", "0:60"};

const std::vector<std::string> kCities = {
    "Riverton, WY", "Springfield, IL", "Fairview, OR", "Greenville, SC", "Madison, WI",
    "Salem, MA",    "Franklin, TN",    "Clinton, IA",  "Georgetown, KY", "Marion, OH",
    "Bristol, VA",  "Dover, DE",       "Kingston, NY", "Lebanon, PA",    "Jackson, MS",
    "Auburn, AL",   "Oxford, MS",      "Milton, FL",   "Burlington, VT", "Espa\xC3\xB1ola, NM",
};

const std::vector<std::string> kSuffixes = {"-FM", "-AM", "-TV", "", "-FM", "-LP"};

// A fixed-seed generator whose numbers are the same on every machine.
class Numbers {
public:
    int Below(int n) { return static_cast<int>(engine_() % static_cast<uint32_t>(n)); }
    template <typename T>
    const T& Pick(const std::vector<T>& from) {
        return from[static_cast<size_t>(Below(static_cast<int>(from.size())))];
    }

private:
    std::mt19937 engine_{20192u};
};

std::string Description(Numbers& n, const std::string& issue) {
    std::string d = "A conversation about " + n.Pick(kTopics) + " with " + n.Pick(kGuests) + ". ";
    d += "The program looked at " + issue + " in our area and what is being done about it. ";
    d += n.Pick(kClosings);
    while (!d.empty() && d.back() == ' ') d.pop_back();
    return d;
}

bool SeedRows(const StationGroupShape& shape) {
    Numbers n;
    int32_t start = 0, end = 0;
    QuarterBounds(shape.quarter, start, end);
    const int days = std::max(1, end - start + 1);

    Insert quarter("INSERT INTO Quarter (StartDate,EndDate,QNumber) VALUES (?1,?2,?3)");
    if (!quarter.Int(1, start).Int(2, end).Int(3, shape.quarter).Run()) return false;

    Insert station("INSERT INTO Stations (StnID,Calls,License,QtrID,Rank) VALUES (?1,?2,?3,?4,?5)");
    Insert method("INSERT INTO Methods (MQtrID,StnID,Method) VALUES (?1,?2,?3)");
    Insert issue(
        "INSERT INTO Issues (IID,IQtr,SID,IIssue,IDescription,IRank) VALUES (?1,?2,?3,?4,?5,?6)");
    // Station s has ids 1000 + s, its issues 100 * (s + 1) + i: ids that do
    // not follow the order in which entries name the stations.
    std::vector<std::vector<std::string>> stationIssues(static_cast<size_t>(shape.stations));
    for (int s = 0; s < shape.stations; ++s) {
        const long long sid = 1000 + s;
        if (!station.Int(1, sid)
                 .Text(2, StationGroupCalls(s))
                 .Text(3, kCities[static_cast<size_t>(s) % kCities.size()])
                 .Int(4, shape.quarter)
                 .Int(5, s)
                 .Run())
            return false;
        if (!method.Int(1, shape.quarter)
                 .Int(2, sid)
                 .Text(3, "Community leader survey, listener calls and public meetings.")
                 .Run())
            return false;
        const size_t first = static_cast<size_t>(s) % kIssueTitles.size();
        for (int i = 0; i < shape.issuesPerStation; ++i) {
            const std::string& title =
                kIssueTitles[(first + static_cast<size_t>(i) * 5) % kIssueTitles.size()];
            const std::string unique = i < static_cast<int>(kIssueTitles.size())
                                           ? title
                                           : title + " (" + std::to_string(i) + ")";
            stationIssues[static_cast<size_t>(s)].push_back(unique);
            if (!issue.Int(1, 100LL * (s + 1) + i)
                     .Int(2, shape.quarter)
                     .Int(3, sid)
                     .Text(4, unique)
                     .Text(5, "Residents raised " + unique +
                                  " at town meetings, in listener calls and in our survey of "
                                  "community leaders this quarter.")
                     .Int(6, i)
                     .Run())
                return false;
        }
    }

    Insert program("INSERT INTO Programs (PID,Duration,Title,PDescription) VALUES (?1,?2,?3,?4)");
    Insert entry(
        "INSERT INTO Master (MID,AirDates,Qtr,Issue,Pgm,Station,FreqCheck,Frequency) "
        "VALUES (?1,'',?2,?3,?4,?5,?6,?7)");
    Insert airing("INSERT INTO DateTime (MLink,AirDate,AirTime) VALUES (?1,?2,?3)");
    for (int m = 1; m <= shape.entries; ++m) {
        const int s = n.Below(std::max(1, shape.stations));
        const std::vector<std::string>& titles = stationIssues[static_cast<size_t>(s)];
        // One to three distinct issues of the station.
        std::vector<int> picked;
        const int count = shape.issuesPerStation > 0 ? 1 + n.Below(3) : 0;
        for (int k = 0; k < count; ++k) {
            const int i = n.Below(shape.issuesPerStation);
            if (std::find(picked.begin(), picked.end(), i) == picked.end()) picked.push_back(i);
        }
        std::string issueList;
        for (int i : picked) {
            if (!issueList.empty()) issueList += "|";
            issueList += std::to_string(100LL * (s + 1) + i);
        }
        const std::string& about = picked.empty() ? kIssueTitles[0] : titles[picked[0]];
        const std::string title = n.Pick(kShows) + ": " + about;
        const bool period = n.Below(10) == 0;
        if (!program.Int(1, m)
                 .Text(2, n.Pick(kDurations))
                 .Text(3, title)
                 .Text(4, Description(n, about))
                 .Run())
            return false;
        if (!entry.Int(1, m)
                 .Int(2, shape.quarter)
                 .Text(3, issueList)
                 .Int(4, m)
                 .Int(5, 1000 + s)
                 .Int(6, period ? 1 : 0)
                 .Int(7, period ? 12 + n.Below(50) : 0)
                 .Run())
            return false;
        // Distinct days, between 5:00 and 23:45 in quarter hours.
        std::vector<int> used;
        for (int a = 0; a < shape.airingsPerEntry; ++a) {
            int day = n.Below(days);
            while (std::find(used.begin(), used.end(), day) != used.end() &&
                   static_cast<int>(used.size()) < days)
                day = (day + 1) % days;
            used.push_back(day);
            if (!airing.Int(1, m).Int(2, start + day).Int(3, 300 + 15 * n.Below(76)).Run())
                return false;
        }
    }
    return true;
}

}  // namespace

std::string StationGroupCalls(int index) {
    // Four letters from the index (W or K first), then a band suffix.
    std::string calls(1, index % 2 == 0 ? 'W' : 'K');
    int rest = index / 2;
    for (int i = 0; i < 3; ++i) {
        calls += static_cast<char>('A' + rest % 26);
        rest /= 26;
    }
    std::reverse(calls.begin() + 1, calls.end());
    return calls + kSuffixes[static_cast<size_t>(index) % kSuffixes.size()];
}

bool SeedStationGroup(const StationGroupShape& shape) {
    Transaction tx;
    if (!tx.ok()) return false;
    if (!SeedRows(shape)) return false;  // rolled back by tx
    return tx.Commit();
}

bool MakeStationGroupFolder(const std::string& folder, const StationGroupShape& shape) {
    const std::string f = WithSeparator(folder);
    SetAppFolder(f);
    std::error_code ec;
    std::filesystem::create_directories(Paths().dataFolder, ec);
    if (ec || !OpenDatabase()) return false;
    const bool seeded = SeedStationGroup(shape);
    slClose();
    return seeded;
}
