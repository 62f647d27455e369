#include "services/asrun_import.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "app/base/text_util.h"
#include "data/quarters.h"

namespace {

std::string Num(int64_t v) {
    return std::to_string(v);
}

int64_t AiringKey(int32_t day, int32_t minutes) {
    return static_cast<int64_t>(day) * 1440 + minutes;
}

// The recorded airings of an entry, as day * 1440 + minutes.
std::unordered_set<int64_t> RecordedAirings(RowId mid) {
    std::unordered_set<int64_t> keys;
    ResultSet rs("SELECT AirDate,AirTime FROM DateTime WHERE MLink = " + Num(mid));
    while (rs.ok() && rs.next())
        keys.insert(
            AiringKey(static_cast<int32_t>(rs.integer(0)), static_cast<int32_t>(rs.integer(1))));
    return keys;
}

bool Exec(const std::string& sql, std::string& error) {
    if (slExe(sql) == 0) return true;
    error = slGetError();
    if (error.empty()) error = "A database statement failed.";
    return false;
}

bool Insert(const std::string& table, const std::string& columns,
            const std::vector<std::string>& values, RowId& id, std::string& error) {
    if (!Exec(slBuildInsertOrUpdate(table, NulJoin(values), columns, ""), error)) return false;
    id = slGetInsertID();
    if (id <= 0) {
        error = "The new " + table + " row got no id.";
        return false;
    }
    return true;
}

// Inserts the airings of one entry, a few hundred rows per statement.
bool InsertAirings(RowId mid, const std::vector<std::pair<int32_t, int32_t>>& airings,
                   std::string& error) {
    constexpr size_t kRowsPerStatement = 500;
    for (size_t i = 0; i < airings.size(); i += kRowsPerStatement) {
        std::string sql = "INSERT INTO DateTime (MLink,AirDate,AirTime) VALUES ";
        const size_t end = std::min(airings.size(), i + kRowsPerStatement);
        for (size_t k = i; k < end; ++k) {
            if (k > i) sql += ',';
            sql +=
                "(" + Num(mid) + "," + Num(airings[k].first) + "," + Num(airings[k].second) + ")";
        }
        if (!Exec(sql, error)) return false;
    }
    return true;
}

// The most frequent length among the rows of a title (the shorter of equally
// frequent ones), -1 when none has one; lengths is how many different ones there are.
int32_t CommonLength(const std::vector<const LogAiring*>& rows, int& lengths) {
    std::map<int32_t, int> counts;
    for (const LogAiring* a : rows)
        if (a->seconds > 0) ++counts[a->seconds];
    lengths = static_cast<int>(counts.size());
    int32_t best = -1;
    int most = 0;
    for (const auto& [seconds, n] : counts) {
        if (n > most) {
            most = n;
            best = seconds;
        }
    }
    return best;
}

// "Various x 12" as the program list shows a period entry, "Various" while its count is no number.
std::string PeriodText(const ImportTarget& target) {
    return Val(target.frequency) > 0 ? "Various x " + target.frequency : "Various";
}

// A new entry's duration: typed, else the log's most common length, else the default.
std::string ProposedDuration(const std::vector<const LogAiring*>& rows, const std::string& typed,
                             const std::string& defaultDuration, int& lengths) {
    const int32_t length = CommonLength(rows, lengths);
    if (!Trim(typed).empty()) return Trim(typed);
    return length > 0 ? DurationText(length) : Trim(defaultDuration);
}

}  // namespace

std::string TitleKey(std::string_view title) {
    std::string collapsed;
    collapsed.reserve(title.size());
    bool blank = false;
    for (const char c : title) {
        if (c == ' ' || c == '\t') {
            blank = true;
            continue;
        }
        if (blank && !collapsed.empty()) collapsed += ' ';
        blank = false;
        collapsed += c;
    }
    return FoldCase(collapsed);
}

std::vector<LogTitle> DistinctTitles(const std::vector<LogAiring>& airings) {
    std::vector<LogTitle> titles;
    std::unordered_map<std::string, size_t> index;
    for (const LogAiring& a : airings) {
        if (a.title.empty()) continue;
        std::string key = TitleKey(a.title);
        auto [it, added] = index.emplace(key, titles.size());
        if (added) titles.push_back({std::move(key), a.title, 0});
        ++titles[it->second].rows;
    }
    std::stable_sort(titles.begin(), titles.end(), [](const LogTitle& a, const LogTitle& b) {
        if (a.rows != b.rows) return a.rows > b.rows;
        return a.key < b.key;
    });
    return titles;
}

std::vector<ImportTarget> ImportTargets(int32_t quarter, RowId station) {
    std::vector<ImportTarget> targets;
    ResultSet rs(
        "SELECT MID,Title,FreqCheck,Frequency FROM Master,Programs WHERE Programs.PID = "
        "Master.Pgm AND Qtr = " +
        Num(quarter) + " AND Station = " + Num(station) + " ORDER BY MID");
    while (rs.ok() && rs.next()) {
        // The period flag is read as the list reads it, whether stored as number or text.
        const bool period = Val(rs.text(2)) == 1;
        targets.push_back({rs.integer(0), std::string(rs.text(1)), period,
                           period ? Trim(rs.text(3)) : std::string()});
    }
    std::stable_sort(targets.begin(), targets.end(), [](const auto& a, const auto& b) {
        return TitleKey(a.title) < TitleKey(b.title);
    });
    return targets;
}

RowId MatchTarget(const std::vector<ImportTarget>& targets, const std::string& key) {
    RowId period = 0;
    for (const ImportTarget& t : targets) {
        if (TitleKey(t.title) != key) continue;
        if (!t.period) return t.mid;
        if (period == 0) period = t.mid;
    }
    return period;
}

std::string TargetLabel(const ImportTarget& target) {
    if (!target.period) return target.title;
    return target.title + " (" + PeriodText(target) + ")";
}

std::string DurationText(int32_t seconds) {
    if (seconds <= 0) return "";
    std::string text;
    const auto part = [&](int32_t n, const char* unit) {
        if (n == 0) return;
        if (!text.empty()) text += ' ';
        text += Num(n) + " " + unit + (n == 1 ? "" : "s");
    };
    part(seconds / 3600, "hour");
    part(seconds / 60 % 60, "minute");
    part(seconds % 60, "second");
    return text;
}

ImportPlan PlanImport(const std::vector<LogAiring>& airings, const std::vector<TitleChoice>& chosen,
                      int32_t quarter, RowId station, const std::string& defaultDuration) {
    ImportPlan plan;
    plan.quarter = quarter;
    plan.station = station;
    int32_t first = 0, last = 0;
    QuarterBounds(quarter, first, last);

    std::unordered_map<std::string, size_t> byKey;
    for (const TitleChoice& c : chosen) byKey.emplace(c.key, byKey.size());
    std::vector<std::vector<const LogAiring*>> rows(chosen.size());
    for (const LogAiring& a : airings) {
        auto it = a.title.empty() ? byKey.end() : byKey.find(TitleKey(a.title));
        if (!a.problem.empty()) {
            if (a.title.empty() || it != byKey.end()) plan.problems.push_back({a.line, a.problem});
            continue;
        }
        if (it != byKey.end()) rows[it->second].push_back(&a);
    }

    // Airings already recorded, per existing entry (two titles may go to one entry).
    std::unordered_map<RowId, std::unordered_set<int64_t>> recorded;
    std::unordered_map<RowId, ImportTarget> entries;
    std::unordered_set<std::string> entryKeys;
    for (ImportTarget& t : ImportTargets(quarter, station)) {
        entryKeys.insert(TitleKey(t.title));
        entries.emplace(t.mid, std::move(t));
    }

    for (size_t i = 0; i < chosen.size(); ++i) {
        const TitleChoice& c = chosen[i];
        TitlePreview p;
        p.title = c.title;
        const auto entry = entries.find(c.target);
        p.target = entry != entries.end() ? c.target : 0;
        p.period = p.target > 0 && entry->second.period;
        std::unordered_set<int64_t> fresh;
        std::unordered_set<int64_t>* seen = &fresh;
        if (p.target > 0) {
            auto it = recorded.find(p.target);
            if (it == recorded.end())
                it = recorded.emplace(p.target, RecordedAirings(p.target)).first;
            seen = &it->second;
            p.entryTitle = TargetLabel(entry->second);
        } else {
            p.entryTitle = Trim(c.title);
            p.duration = ProposedDuration(rows[i], c.duration, defaultDuration, p.lengths);
        }
        int inQuarter = 0;
        for (const LogAiring* a : rows[i]) {
            if (a->day < first || a->day > last) {
                ++p.outside;
            } else if (!seen->insert(AiringKey(a->day, a->minutes)).second) {
                ++p.already;
            } else {
                ++inQuarter;
                // A period entry keeps its two airings and its count as they are.
                if (!p.period) p.airings.emplace_back(a->day, a->minutes);
            }
        }
        p.toAdd = static_cast<int>(p.airings.size());
        if (p.period) {
            plan.notAdded += inQuarter;
            p.note = "Nothing is added: the entry is recorded as a period (" +
                     PeriodText(entry->second) +
                     "), which keeps a count of airings, not their dates and times. Change its "
                     "count in the program editor.";
        }
        if (p.target == 0 && p.toAdd > 0) {
            ++plan.newEntries;
            if (p.duration.empty()) plan.missingDuration = true;
            if (entryKeys.count(c.key)) {
                p.duplicate = true;
                ++plan.duplicates;
                p.note = "A second entry of this title is made: the station has one already.";
            }
            if (p.lengths > 1 && Trim(c.duration).empty())
                p.note += std::string(p.note.empty() ? "" : " ") + "The log gives " +
                          Num(p.lengths) + " different lengths: the most common one is used.";
        }
        plan.toAdd += p.toAdd;
        plan.already += p.already;
        plan.outside += p.outside;
        plan.titles.push_back(std::move(p));
    }
    std::sort(plan.problems.begin(), plan.problems.end(),
              [](const RowProblem& a, const RowProblem& b) { return a.line < b.line; });
    return plan;
}

namespace {

ImportOutcome WriteInTransaction(const ImportPlan& plan) {
    ImportOutcome out;
    out.quarter = plan.quarter;
    out.station = plan.station;
    if (!slIsOpen()) {
        out.error = "The database is not open.";
        return out;
    }
    if (plan.missingDuration) {
        out.error = "A new program entry has no duration.";
        return out;
    }
    Transaction tx;
    if (!tx.ok()) {
        out.error = slGetError();
        return out;
    }
    const std::string q = Num(plan.quarter);
    const std::string station = Num(plan.station);
    std::unordered_map<RowId, std::unordered_set<int64_t>> recorded;
    for (const TitlePreview& p : plan.titles) {
        std::vector<std::pair<int32_t, int32_t>> airings;
        RowId mid = p.target;
        if (mid > 0) {
            // Checked again inside the transaction: what the entry has by now is skipped.
            auto it = recorded.find(mid);
            if (it == recorded.end()) it = recorded.emplace(mid, RecordedAirings(mid)).first;
            for (const auto& a : p.airings)
                if (it->second.insert(AiringKey(a.first, a.second)).second) airings.push_back(a);
            if (airings.empty()) continue;
        } else {
            if (p.airings.empty()) continue;
            airings = p.airings;
            RowId pid = 0;
            if (!Insert("Programs", "Duration,Title,PDescription", {p.duration, p.entryTitle, ""},
                        pid, out.error) ||
                !Insert("Master", "Qtr,Issue,Pgm,Station,FreqCheck,Frequency",
                        {q, "", Num(pid), station, "0", ""}, mid, out.error)) {
                return out;
            }
        }
        if (!InsertAirings(mid, airings, out.error)) return out;
        out.airingsAdded += static_cast<int>(airings.size());
        if (p.target > 0) {
            if (std::find(out.changedEntries.begin(), out.changedEntries.end(), mid) ==
                out.changedEntries.end())
                out.changedEntries.push_back(mid);
        } else {
            out.newEntries.push_back(mid);
        }
    }
    if (!tx.Commit()) {
        out.error = slGetError();
        if (out.error.empty()) out.error = "The changes could not be committed.";
        return out;
    }
    out.entriesAdded = static_cast<int>(out.newEntries.size());
    out.ok = true;
    return out;
}

}  // namespace

ImportOutcome WriteImport(const ImportPlan& plan) {
    ImportOutcome out = WriteInTransaction(plan);
    if (!out.ok) {
        // Rolled back: nothing of it was added.
        out.airingsAdded = 0;
        out.entriesAdded = 0;
        out.newEntries.clear();
        out.changedEntries.clear();
    }
    return out;
}

void ImportDoneTexts(const ImportOutcome& o, std::string& text1, std::string& text2) {
    const auto count = [](int n, const char* one, const char* many) {
        return Num(n) + " " + (n == 1 ? one : many);
    };
    text1 = count(o.airingsAdded, "airing was", "airings were") + " added";
    if (o.entriesAdded > 0)
        text1 += ", with " + count(o.entriesAdded, "new program entry", "new program entries");
    text1 += ".{f10}";
    if (o.entriesAdded == 0) {
        text2.clear();
    } else if (o.entriesAdded == 1) {
        text2 =
            "The new entry still needs its issues and description: "
            "open it with Edit Program to add them.{f6}";
    } else {
        text2 =
            "The new entries still need their issues and description: "
            "open each with Edit Program to add them.{f6}";
    }
}

// --- session ---

namespace {

// The readable rows of the title, for its lengths.
std::vector<const LogAiring*> RowsOf(const ImportSession& s, const std::string& key) {
    std::vector<const LogAiring*> rows;
    for (const LogAiring& a : s.airings)
        if (a.problem.empty() && !a.title.empty() && TitleKey(a.title) == key) rows.push_back(&a);
    return rows;
}

void MatchTitles(ImportSession& s) {
    s.target.assign(s.titles.size(), 0);
    for (size_t i = 0; i < s.titles.size(); ++i)
        s.target[i] = MatchTarget(s.targets, s.titles[i].key);
}

}  // namespace

void LoadLog(ImportSession& s, std::string_view bytes, int programDateFormat) {
    s.log = ReadAsRunLog(bytes);
    s.columns = GuessColumns(s.log);
    s.titles.clear();
    s.chosen.clear();
    s.target.clear();
    s.duration.clear();
    ReadRowsAgain(s, programDateFormat);
}

void ReadRowsAgain(ImportSession& s, int programDateFormat) {
    struct Kept {
        bool chosen;
        RowId target;
        std::string duration;
    };
    std::map<std::string, Kept> kept;
    for (size_t i = 0; i < s.titles.size() && i < s.chosen.size() && i < s.target.size(); ++i)
        kept[s.titles[i].key] = {s.chosen[i], s.target[i],
                                 i < s.duration.size() ? s.duration[i] : std::string()};
    s.order = GuessDateOrder(s.log, s.columns, programDateFormat);
    s.airings = ReadLogAirings(s.log, s.columns, s.order);
    s.titles = DistinctTitles(s.airings);
    s.chosen.assign(s.titles.size(), false);
    s.duration.assign(s.titles.size(), std::string());
    MatchTitles(s);
    for (size_t i = 0; i < s.titles.size(); ++i) {
        auto it = kept.find(s.titles[i].key);
        if (it == kept.end()) continue;
        s.chosen[i] = it->second.chosen;
        s.target[i] = it->second.target;
        s.duration[i] = it->second.duration;
    }
    UpdatePlan(s);
}

void SetDestination(ImportSession& s, int32_t quarter, RowId station) {
    s.quarter = quarter;
    s.station = station;
    s.targets = station > 0 ? ImportTargets(quarter, station) : std::vector<ImportTarget>{};
    MatchTitles(s);
    UpdatePlan(s);
}

void ChooseTitle(ImportSession& s, size_t title, bool on) {
    if (title >= s.chosen.size()) return;
    s.chosen[title] = on;
    UpdatePlan(s);
}

std::string NewEntryDuration(const ImportSession& s, size_t title) {
    if (title >= s.titles.size()) return "";
    int lengths = 0;
    return ProposedDuration(RowsOf(s, s.titles[title].key),
                            title < s.duration.size() ? s.duration[title] : "", s.defaultDuration,
                            lengths);
}

void SetNewEntryDuration(ImportSession& s, size_t title, const std::string& duration) {
    if (title >= s.titles.size()) return;
    s.duration.resize(s.titles.size());
    s.duration[title] = Trim(duration);
    UpdatePlan(s);
}

void UpdatePlan(ImportSession& s) {
    std::vector<TitleChoice> chosen;
    for (size_t i = 0; i < s.titles.size() && i < s.chosen.size(); ++i)
        if (s.chosen[i])
            chosen.push_back({s.titles[i].key, s.titles[i].title,
                              i < s.target.size() ? s.target[i] : 0,
                              i < s.duration.size() ? s.duration[i] : std::string()});
    s.plan = PlanImport(s.airings, chosen, s.quarter, s.station, s.defaultDuration);
}

bool ImportReady(const ImportSession& s) {
    return s.station > 0 && ColumnMapComplete(s.columns) && s.plan.toAdd > 0 &&
           !s.plan.missingDuration;
}
