// Importing airings from an as-run log into the program entries of one
// station and quarter: the titles of the log, their match to the station's
// entries, the preview of what an import would add, and the write in one
// transaction. Window-free: the form IM (services/import_form.cpp) is a thin
// layer over an ImportSession.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/query.h"
#include "services/asrun_log.h"

// Titles are matched ignoring letter case (Unicode case folding), surrounding
// blanks and runs of blanks inside.
std::string TitleKey(std::string_view title);

// A distinct title of the log and how many rows carry it.
struct LogTitle {
    std::string key;
    std::string title;  // as first written in the log
    int rows = 0;
};
// Most frequent first, then by title.
std::vector<LogTitle> DistinctTitles(const std::vector<LogAiring>& airings);

// A program entry of the station and quarter. An entry recorded as a period
// ("Various x 12": a count of airings over a span of days, kept as exactly two
// airings) is offered too, so that its title is not made a second time, but
// takes no single airings.
struct ImportTarget {
    RowId mid = 0;
    std::string title;
    bool period = false;
    std::string frequency;  // the period's count as stored
};
// The entries of a station in a quarter, by title.
std::vector<ImportTarget> ImportTargets(int32_t quarter, RowId station);
// The entry whose title has the key, one that takes single airings before a
// period entry (the first of several); 0 when none has.
RowId MatchTarget(const std::vector<ImportTarget>& targets, const std::string& key);
// "Title (Various x 12)" for a period entry, else the title.
std::string TargetLabel(const ImportTarget& target);

// A length in seconds as a duration text, exact to the second: "30 seconds",
// "28 minutes 30 seconds", "1 hour 1 second"; "" for none.
std::string DurationText(int32_t seconds);

// A log title chosen for import and where its airings go.
struct TitleChoice {
    std::string key;
    std::string title;
    RowId target = 0;      // 0: a new entry
    std::string duration;  // a new entry's duration as the user typed it; "" takes the log's
};

struct RowProblem {
    int line = 0;
    std::string reason;
};

struct TitlePreview {
    std::string title;       // the log's title
    RowId target = 0;        // 0: a new entry
    std::string entryTitle;  // the existing entry's title, or the new entry's
    std::string duration;    // a new entry's duration ("" when neither log nor default gives one)
    int lengths = 0;         // different lengths the log gives the title
    bool period = false;     // the target is a period entry: nothing is added to it
    bool duplicate = false;  // a new entry although the title has one already
    std::string note;        // what the user must know about this title ("" when nothing)
    int toAdd = 0;
    int already = 0;  // same day and time already recorded (or listed twice in the log)
    int outside = 0;  // outside the quarter
    std::vector<std::pair<int32_t, int32_t>> airings;  // day, minutes to add
};

struct ImportPlan {
    int32_t quarter = 0;
    RowId station = 0;
    std::vector<TitlePreview> titles;
    std::vector<RowProblem> problems;  // rows of the chosen titles (or without title) not read
    int toAdd = 0, already = 0, outside = 0, newEntries = 0;
    int notAdded = 0;              // airings of the quarter a period entry does not take
    int duplicates = 0;            // new entries of a title that has an entry already
    bool missingDuration = false;  // a new entry has no duration
};
ImportPlan PlanImport(const std::vector<LogAiring>& airings, const std::vector<TitleChoice>& chosen,
                      int32_t quarter, RowId station, const std::string& defaultDuration);

struct ImportOutcome {
    bool ok = false;
    std::string error;
    int32_t quarter = 0;
    RowId station = 0;
    int airingsAdded = 0;
    int entriesAdded = 0;
    std::vector<RowId> newEntries;      // MIDs created
    std::vector<RowId> changedEntries;  // existing MIDs that got airings
};
// Writes the plan in one transaction: for a new entry a Programs row (title,
// duration, no description) and a Master row (no issues yet), then the
// airings into DateTime. Airings the entry has by then are skipped. On any
// failure nothing is written and error says why.
ImportOutcome WriteImport(const ImportPlan& plan);

// What the finished import tells the user: the message's first and second text.
void ImportDoneTexts(const ImportOutcome& outcome, std::string& text1, std::string& text2);

// --- the import dialog's working state ---
struct ImportSession {
    int32_t quarter = 0;
    RowId station = 0;
    std::string path;
    AsRunLog log;
    ColumnMap columns;
    DateOrder order = DateOrder::MonthFirst;
    std::vector<LogAiring> airings;
    std::vector<LogTitle> titles;
    std::vector<bool> chosen;           // per title
    std::vector<RowId> target;          // per title, 0 = new entry
    std::vector<std::string> duration;  // per title, a new entry's typed duration ("": proposed)
    std::vector<ImportTarget> targets;  // of the station and quarter
    std::string defaultDuration;
    ImportPlan plan;
};
// Reads the log bytes: columns guessed, titles listed, none chosen, each
// matched to the station's entries.
void LoadLog(ImportSession& s, std::string_view bytes, int programDateFormat);
// After the user changed the column map or the header flag: rows read again,
// titles listed again (choices and targets kept for titles still there).
void ReadRowsAgain(ImportSession& s, int programDateFormat);
// After the station or quarter changed: entries read again, titles matched again.
void SetDestination(ImportSession& s, int32_t quarter, RowId station);
// Ticks a title; a ticked title that matches an entry goes to it.
void ChooseTitle(ImportSession& s, size_t title, bool on);
// The duration a title's new entry gets: what the user typed, else the log's
// most common length, else the default duration.
std::string NewEntryDuration(const ImportSession& s, size_t title);
// The user's duration for a title's new entry ("" goes back to the proposed one).
void SetNewEntryDuration(ImportSession& s, size_t title, const std::string& duration);
// Recomputes s.plan from the choices.
void UpdatePlan(ImportSession& s);
// Whether Import can run: a complete column map, something to add, and a
// duration for every new entry.
bool ImportReady(const ImportSession& s);
