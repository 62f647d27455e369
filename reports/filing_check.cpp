// The pre-filing check: reads a quarter's stations, issues, program entries
// and airings and lists what would make the filed list wrong or incomplete.
#include "reports/filing_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "app/base/text_util.h"
#include "data/airings.h"
#include "data/dates.h"
#include "data/quarters.h"

namespace {

constexpr int64_t kDaySeconds = 24 * 60 * 60;

struct StationRef {
    RowId id = 0;
    std::string calls;
};

struct Entry {
    RowId mid = 0;
    std::string issues;
    std::string freqCheck;
    bool hasProgram = false;
    std::string title, duration, description;
    std::vector<std::pair<int32_t, int32_t>> airings;  // day, minutes; by day then time
};

std::string Plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Blanks, tabs and line breaks at both ends.
std::string TrimAll(const std::string& text) {
    return TrimChars(text, " \t\r\n");
}

std::string AiringText(int32_t day, int32_t minutes) {
    return DisplayDate(day) + " " + MilitaryTime(std::to_string(minutes));
}

// "Friday, October 9".
std::string WeekdayMonthDay(int32_t day) {
    static const char* const kWeekdays[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                            "Friday", "Saturday", "Sunday"};
    int32_t m = 0, d = 0, y = 0;
    JulianDate2Mdy(day, m, d, y);
    const int dow = DayOfWeek(day);
    return std::string(kWeekdays[(dow - 1 + 7) % 7]) + ", " + MonthName(m) + " " +
           std::to_string(d);
}

// "Friday, October 9, 2026".
std::string LongDate(int32_t day) {
    int32_t m = 0, d = 0, y = 0;
    JulianDate2Mdy(day, m, d, y);
    return WeekdayMonthDay(day) + ", " + std::to_string(y);
}

int32_t NextQuarter(int32_t quarter) {
    const int32_t year = quarter / 10, q = quarter % 10;
    return q >= 4 ? (year + 1) * 10 + 1 : year * 10 + q + 1;
}

int32_t NextQuarterStart(int32_t quarter) {
    int32_t start = 0, end = 0;
    QuarterBounds(NextQuarter(quarter), start, end);
    return start;
}

std::vector<StationRef> StationsToCheck(int32_t quarter, RowId stationId) {
    std::vector<StationRef> out;
    const std::string q = std::to_string(quarter);
    ResultSet rs(stationId > 0 ? "SELECT StnID,Calls FROM Stations WHERE StnID = " +
                                     std::to_string(stationId) + " AND QtrID = " + q
                               : "SELECT StnID,Calls FROM Stations WHERE QtrID = " + q +
                                     " ORDER BY Rank,StnID");
    while (rs.next()) out.push_back({rs.integer(0), std::string(rs.text(1))});
    return out;
}

std::vector<Entry> EntriesOf(int32_t quarter, RowId station) {
    const std::string q = std::to_string(quarter), s = std::to_string(station);
    std::vector<Entry> entries;
    std::unordered_map<RowId, size_t> index;
    {
        ResultSet rs(
            "SELECT m.MID, m.Issue, m.FreqCheck, p.PID, p.Title, p.Duration, p.PDescription "
            "FROM Master m LEFT JOIN Programs p ON p.PID = m.Pgm WHERE m.Qtr = " +
            q + " AND m.Station = " + s + " ORDER BY m.MID");
        while (rs.next()) {
            Entry e;
            e.mid = rs.integer(0);
            e.issues = std::string(rs.text(1));
            e.freqCheck = Trim(rs.text(2));
            e.hasProgram = rs.integer(3) > 0;
            e.title = std::string(rs.text(4));
            e.duration = std::string(rs.text(5));
            e.description = std::string(rs.text(6));
            index.emplace(e.mid, entries.size());
            entries.push_back(std::move(e));
        }
    }
    ResultSet rs("SELECT MLink,AirDate,AirTime FROM DateTime WHERE " +
                 AiringsOfEntriesWhere("Qtr = " + q + " AND Station = " + s) +
                 " ORDER BY MLink,AirDate,AirTime");
    while (rs.next()) {
        auto it = index.find(rs.integer(0));
        if (it == index.end()) continue;
        entries[it->second].airings.emplace_back(static_cast<int32_t>(rs.integer(1)),
                                                 static_cast<int32_t>(rs.integer(2)));
    }
    return entries;
}

class Collector {
public:
    Collector(FilingCheckResult& r, const StationRef& s) : r_(r), s_(s) {}
    void Add(FindingSeverity severity, FindingKind kind, const std::string& text,
             FindingTarget target, RowId record) {
        FilingFinding f;
        f.calls = s_.calls;
        f.stationId = s_.id;
        f.severity = severity;
        f.kind = kind;
        f.text = text;
        f.target = target;
        f.recordId = record;
        (severity == FindingSeverity::Problem ? r_.problems : r_.notes)++;
        r_.findings.push_back(std::move(f));
    }

private:
    FilingCheckResult& r_;
    const StationRef& s_;
};

void CheckEntry(Collector& out, const Entry& e, int32_t first, int32_t last,
                const std::unordered_set<std::string>& stationIssues) {
    using K = FindingKind;
    constexpr FindingSeverity P = FindingSeverity::Problem;
    constexpr FindingTarget T = FindingTarget::ProgramEntry;
    const std::string title = TrimAll(e.title);
    const std::string name =
        title.empty() ? std::string("An untitled program") : "\"" + title + "\"";

    if (title.empty()) {
        std::string text = "A program entry has no title";
        if (!e.airings.empty())
            text += " (first aired " + DisplayDate(e.airings.front().first) + ")";
        out.Add(P, K::EntryWithoutTitle, text, T, e.mid);
    }
    bool addresses = false;
    for (const std::string& id : Split(e.issues, "|"))
        if (stationIssues.count(Trim(id))) addresses = true;
    if (!addresses) {
        out.Add(P, K::EntryWithoutIssue,
                (Trim(e.issues).empty() ? "Addresses no issue: "
                                        : "Addresses none of the station's issues: ") +
                    name,
                T, e.mid);
    }
    if (e.airings.empty()) out.Add(P, K::EntryWithoutAiring, "No air date: " + name, T, e.mid);
    if (TrimAll(e.description).empty())
        out.Add(FindingSeverity::Note, K::EntryWithoutDescription, "No description: " + name, T,
                e.mid);

    for (const auto& [day, minutes] : e.airings) {
        if (day < first || day > last)
            out.Add(P, K::AiringOutsideQuarter,
                    "Aired outside the quarter, " + AiringText(day, minutes) + ": " + name, T,
                    e.mid);
    }
    // A period record keeps the first and last day of its span, which may
    // well be the same day at the same (unused) time.
    const bool period = e.freqCheck == "1" && e.airings.size() == 2;
    if (!period) {
        for (size_t i = 0; i < e.airings.size();) {
            size_t j = i + 1;
            while (j < e.airings.size() && e.airings[j] == e.airings[i]) ++j;
            if (j - i > 1) {
                const std::string times = j - i == 2 ? "twice" : std::to_string(j - i) + " times";
                out.Add(P, K::AiringRecordedTwice,
                        "Airing " + AiringText(e.airings[i].first, e.airings[i].second) +
                            " listed " + times + ": " + name,
                        T, e.mid);
            }
            i = j;
        }
    }

    const std::string duration = TrimAll(e.duration);
    if (duration.empty()) {
        out.Add(P, K::DurationMissing, "No duration: " + name, T, e.mid);
    } else if (const auto seconds = DurationSeconds(duration)) {
        if (*seconds == 0)
            out.Add(P, K::DurationZero, "Duration of no time, \"" + duration + "\": " + name, T,
                    e.mid);
        else if (*seconds > kDaySeconds)
            out.Add(P, K::DurationOverDay, "Duration over 24 hours, \"" + duration + "\": " + name,
                    T, e.mid);
    }
}

void CheckStation(FilingCheckResult& r, int32_t quarter, const StationRef& station) {
    Collector out(r, station);
    const std::string q = std::to_string(quarter);
    struct Issue {
        RowId id;
        std::string title;
    };
    std::vector<Issue> issues;
    {
        ResultSet rs("SELECT IID,IIssue FROM Issues WHERE IQtr = " + q +
                     " AND SID = " + std::to_string(station.id) + " ORDER BY IRank,IID");
        while (rs.next()) issues.push_back({rs.integer(0), std::string(rs.text(1))});
    }
    const std::vector<Entry> entries = EntriesOf(quarter, station.id);

    if (issues.empty())
        out.Add(FindingSeverity::Problem, FindingKind::StationWithoutIssues,
                "No issues are on file for the quarter", FindingTarget::StationIssues, 0);

    std::unordered_set<std::string> stationIssues;
    for (const Issue& i : issues) stationIssues.insert(std::to_string(i.id));
    std::unordered_set<std::string> addressed;
    for (const Entry& e : entries)
        for (const std::string& id : Split(e.issues, "|")) addressed.insert(Trim(id));
    for (size_t n = 0; n < issues.size(); ++n) {
        if (addressed.count(std::to_string(issues[n].id))) continue;
        out.Add(FindingSeverity::Problem, FindingKind::IssueNotAddressed,
                "Addressed by no program: issue " + std::to_string(n + 1) + ", \"" +
                    TrimAll(issues[n].title) + "\"",
                FindingTarget::Issue, issues[n].id);
    }

    int32_t first = 0, last = 0;
    QuarterBounds(quarter, first, last);
    for (const Entry& e : entries) CheckEntry(out, e, first, last, stationIssues);
}

// Reads "<number>" at pos (digits with an optional fraction); false when none.
bool ReadNumber(std::string_view s, size_t& pos, double& value) {
    const size_t start = pos;
    while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))) ++pos;
    if (pos < s.size() && s[pos] == '.' && pos + 1 < s.size() &&
        std::isdigit(static_cast<unsigned char>(s[pos + 1]))) {
        ++pos;
        while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))) ++pos;
    }
    if (pos == start) return false;
    // At most 15 characters: anything longer is no duration anybody typed.
    if (pos - start > 15) return false;
    value = std::stod(std::string(s.substr(start, pos - start)));
    return true;
}

// "m:ss", ":ss" or "h:mm:ss"; false when the text is not of that form.
bool ClockForm(std::string_view s, int64_t& seconds) {
    const std::vector<std::string> parts = Split(s, ":");
    if (parts.size() < 2 || parts.size() > 3) return false;
    seconds = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& p = parts[i];
        if (p.empty() && i == 0 && parts.size() == 2) continue;  // ":30"
        if (p.empty() || p.size() > 6) return false;
        for (char c : p)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        seconds = seconds * 60 + std::stoll(p);  // the last part is seconds
    }
    return true;
}

}  // namespace

std::optional<int64_t> DurationSeconds(std::string_view text) {
    std::string s = ToLower(text);
    // Separators that carry no meaning between the parts of a duration.
    for (char& c : s)
        if (c == ',' || c == '-' || c == '+' || c == '&' || c == '(' || c == ')' || c == '\t' ||
            c == '\r' || c == '\n')
            c = ' ';
    s = Trim(s);
    if (s.empty()) return std::nullopt;

    if (s.find(':') != std::string::npos) {
        // A clock form may be followed by a unit-like word ("1:30 min").
        const size_t blank = s.find(' ');
        int64_t seconds = 0;
        if (!ClockForm(s.substr(0, blank), seconds)) return std::nullopt;
        if (blank != std::string::npos) {
            const std::string rest = Trim(s.substr(blank));
            static const std::set<std::string> kTail = {"min", "mins",  "min.", "minutes",
                                                        "sec", "secs",  "sec.", "seconds",
                                                        "hrs", "hours", "each"};
            if (!kTail.count(rest)) return std::nullopt;
        }
        return seconds;
    }

    static const std::map<std::string, int64_t> kUnits = {
        {"s", 1},           {"sec", 1},           {"secs", 1},
        {"second", 1},      {"seconds", 1},       {"m", 60},
        {"min", 60},        {"mins", 60},         {"minute", 60},
        {"minutes", 60},    {"h", 3600},          {"hr", 3600},
        {"hrs", 3600},      {"hour", 3600},       {"hours", 3600},
        {"d", kDaySeconds}, {"day", kDaySeconds}, {"days", kDaySeconds}};
    static const std::set<std::string> kFiller = {"and",  "approx", "approximately", "about",
                                                  "each", "ca",     "long",          "total"};
    double total = 0;
    bool any = false;
    size_t pos = 0;
    while (pos < s.size()) {
        if (s[pos] == ' ') {
            ++pos;
            continue;
        }
        double value = 0;
        if (ReadNumber(s, pos, value)) {
            while (pos < s.size() && s[pos] == ' ') ++pos;
            size_t end = pos;
            while (end < s.size() && std::isalpha(static_cast<unsigned char>(s[end]))) ++end;
            std::string word = s.substr(pos, end - pos);
            if (end < s.size() && s[end] == '.') ++end;  // "min."
            auto unit = kUnits.find(word);
            if (unit == kUnits.end()) {
                // A bare number says nothing about its unit, unless it is nothing at all.
                if (!word.empty() || value != 0) return std::nullopt;
                pos = end;
                any = true;
                continue;
            }
            total += value * static_cast<double>(unit->second);
            any = true;
            pos = end;
            continue;
        }
        size_t end = pos;
        while (end < s.size() && s[end] != ' ') ++end;
        std::string word = s.substr(pos, end - pos);
        while (!word.empty() && word.back() == '.') word.pop_back();
        if (!kFiller.count(word)) return std::nullopt;
        pos = end;
    }
    if (!any) return std::nullopt;
    if (total > 1e15) return std::nullopt;
    return static_cast<int64_t>(std::llround(total));
}

int32_t FilingDueDay(int32_t quarter) {
    return NextQuarterStart(quarter) + 9;
}

int32_t FilingDeadlineOf(int32_t quarter, int32_t storedDeadline) {
    const int32_t start = NextQuarterStart(quarter);
    int32_t first = 0, last = 0;
    QuarterBounds(NextQuarter(quarter), first, last);
    if (storedDeadline >= first && storedDeadline <= last) return storedDeadline;
    int32_t d = start + 9;
    while (DayOfWeek(d) > 5) --d;
    return d;
}

FilingCheckResult CheckBeforeFiling(int32_t quarter, RowId stationId, int32_t today,
                                    int32_t storedDeadline) {
    FilingCheckResult r;
    r.quarter = quarter;
    const std::vector<StationRef> stations = StationsToCheck(quarter, stationId);
    r.stations = static_cast<int>(stations.size());

    const int32_t deadline = FilingDueDay(quarter);
    const int32_t reminder = FilingDeadlineOf(quarter, storedDeadline);
    const int64_t left = static_cast<int64_t>(deadline) - today;
    std::string when;
    if (left > 1)
        when = std::to_string(left) + " days left";
    else if (left == 1)
        when = "1 day left";
    else if (left == 0)
        when = "today";
    else if (left == -1)
        when = "passed yesterday";
    else
        when = "passed " + std::to_string(-left) + " days ago";
    static const StationRef kWholeQuarter;
    Collector(r, kWholeQuarter)
        .Add(FindingSeverity::Note, FindingKind::FilingDeadline,
             "Filing deadline " + LongDate(deadline) + ": " + when +
                 (reminder == deadline ? std::string()
                                       : " (reminder " + WeekdayMonthDay(reminder) + ")"),
             FindingTarget::None, 0);
    // A quarter without stations has nothing that could be filed.
    if (stations.empty())
        Collector(r, kWholeQuarter)
            .Add(FindingSeverity::Problem, FindingKind::NoStation,
                 "No station is on file for this quarter.", FindingTarget::None, 0);

    for (const StationRef& s : stations) CheckStation(r, quarter, s);
    return r;
}

std::string FilingSummary(const FilingCheckResult& result) {
    return Plural(result.stations, "station", "stations") + ", " +
           Plural(result.problems, "problem", "problems") + ", " +
           Plural(result.notes, "note", "notes");
}

const char* SeverityName(FindingSeverity severity) {
    return severity == FindingSeverity::Problem ? "Problem" : "Note";
}
