// The pre-filing check: what an inspection of a quarter's Issues/Programs
// list would find before it goes into the public file. Computed from the
// database alone (no window), so the form FC only shows the findings and
// opens the editor a finding points at.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/query.h"

enum class FindingSeverity {
    Problem,  // the filed list would be wrong or incomplete
    Note,     // worth a look, the list is still sound
};

enum class FindingKind {
    FilingDeadline,        // the deadline of the quarter's list and the days left
    NoStation,             // the quarter has no station at all
    StationWithoutIssues,  // the station has no issues in the quarter
    IssueNotAddressed,     // no program entry of the station addresses the issue
    EntryWithoutIssue,     // the entry addresses none of the station's issues
    EntryWithoutAiring,    // the entry has no air date
    EntryWithoutTitle,     // the program has no title
    EntryWithoutDescription,
    AiringOutsideQuarter,  // an air date before or after the quarter
    AiringRecordedTwice,   // the same date and time twice in one entry
    DurationMissing,       // no duration typed
    DurationZero,          // a duration that reads as no time at all
    DurationOverDay,       // a duration of more than 24 hours
};

// What a double-click on a finding opens.
enum class FindingTarget {
    None,
    ProgramEntry,  // the program editor on the entry recordId (MID)
    Issue,         // the issues list of the station, the issue recordId (IID) selected
    StationIssues  // the issues list of the station
};

struct FilingFinding {
    std::string calls;    // "" for a finding about the whole quarter
    RowId stationId = 0;  // StnID, 0 for the whole quarter
    FindingSeverity severity = FindingSeverity::Note;
    FindingKind kind = FindingKind::FilingDeadline;
    std::string text;  // the sentence the list shows
    FindingTarget target = FindingTarget::None;
    RowId recordId = 0;
};

struct FilingCheckResult {
    int32_t quarter = 0;
    int stations = 0;  // stations checked
    std::vector<FilingFinding> findings;
    int problems = 0;
    int notes = 0;
};

// Checks one station (stationId > 0) or every station of the quarter
// (stationId 0) in rank order. today is the day number of today;
// storedDeadline the "Deadline" value of section "Filing" (0 when none).
// The deadline finding comes first, then each station's findings: station,
// its issues in rank order, then its entries in the order they were entered.
FilingCheckResult CheckBeforeFiling(int32_t quarter, RowId stationId, int32_t today,
                                    int32_t storedDeadline);

// "3 stations, 2 problems, 5 notes" (singular where the count is 1).
std::string FilingSummary(const FilingCheckResult& result);

// The day by which the quarter's list must be in the public file: the tenth
// day of the next quarter, whatever day of the week it is.
int32_t FilingDueDay(int32_t quarter);
// The day the filing reminder comes for the quarter's list: the tenth day of
// the next quarter, moved back to the Friday before when it falls on a
// weekend. A stored reminder day ("Deadline" of section "Filing") that lies
// in the next quarter is used as it is.
int32_t FilingDeadlineOf(int32_t quarter, int32_t storedDeadline);

// The length a duration text stands for, in seconds: "30 minutes", "60 sec",
// "1 hour 30 min", "1.5 hours", ":30", "2:30" (minutes and seconds),
// "1:00:00", "0". Empty when the text cannot be read as a length of time (a
// number without a unit other than 0, unknown words). Takes any bytes.
std::optional<int64_t> DurationSeconds(std::string_view text);

// "Problem" / "Note".
const char* SeverityName(FindingSeverity severity);

// --- the form FC, "Check List Before Filing" ---

// Opens FC modally over parent on the quarter and station (call letters; ""
// or "All Stations" checks every station of the quarter).
void OpenFilingCheck(const std::string& parent, int32_t quarter, const std::string& calls);

inline constexpr int kFcPeriod = 100;
inline constexpr int kFcStation = 105;
inline constexpr int kFcList = 110;
inline constexpr int kFcSummary = 115;
inline constexpr int kFcOpen = 120;
inline constexpr int kFcClose = 125;
inline constexpr int kFcHelp = 130;
inline constexpr int kFcDetail = 145;  // the whole text of the selected finding, wrapped
inline constexpr int kFcHelpTopic = 510;
inline constexpr double kFilingCheckWidth = 96;
inline constexpr double kFilingCheckHeight = 26;
