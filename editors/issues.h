// Issues of one station in one quarter: the working copy the issues list form
// (IL) edits, its save, and the issue selection dialog (SI) through which the
// program editor picks the issues a program addressed.
//
// The working-copy functions need no window: they touch the database through
// the query layer and ask their questions through the message box, so plain
// tests can drive them with SetMsgHook.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/query.h"

// The working copy holds at most this many issues (positions 0 to 1000).
inline constexpr int kMaxIssues = 1001;

// One issue of the working copy, at its list position.
struct IssueRow {
    RowId id = 0;  // IID; 0 for an issue not yet stored
    std::string title;
    std::string description;  // stored trimmed when edited
};

// The issues list form's in-memory copy of one station's issues in a quarter.
struct IssueWorkingCopy {
    std::vector<IssueRow> issues;   // in list (IRank) order
    std::vector<RowId> deletedIds;  // stored issues removed since the last save
    int editedPos = -1;             // title being edited in place, -1 none
    int selectedPos = -1;           // selected list position, -1 none
    int32_t quarter = 0;
    RowId stationId = 0;   // StnID, 0 for none
    bool changed = false;  // unsaved changes (the Save button's state)

    int size() const { return static_cast<int>(issues.size()); }
    bool IsStored(int pos) const;  // the position has an IID greater than 0
};

// Fills the working copy with the station's issues of the quarter in IRank
// order (empty for station 0). Clears the deleted ids, the edited and selected
// positions and the changed flag.
void LoadIssueList(IssueWorkingCopy& wc, int32_t quarter, RowId stationId);

// Position of a title compared ignoring letter case, skipping position
// `except`; -1 when absent.
int FindIssueTitle(const IssueWorkingCopy& wc, const std::string& title, int except = -1);

enum class IssueEntryResult {
    Added,      // appended as a new issue
    Replaced,   // the title at the edited position was replaced
    Duplicate,  // a new title already listed: "Duplicate Entry" shown, nothing changed
    Full,       // the list already holds kMaxIssues: message shown, nothing changed
    Empty,      // nothing but blanks typed: nothing changed (an edit in place is told why)
};
// Applies the entry field's text (Enter): replaces the title at the edited
// position, or appends a new issue after the duplicate check. On Added and
// Replaced the edited position becomes -1 and a change is marked.
IssueEntryResult EnterIssueTitle(IssueWorkingCopy& wc, const std::string& text);

// Number of program entries (Master rows) whose issue list holds the id; -1
// when the database could not be read (the issue must then not be deleted).
int CountIssueUses(RowId issueId);

// Removes position p (Delete key). A stored issue that a program uses is
// refused with "Unable to Delete"; another stored issue is removed only after
// the "Delete This Issue" question; an unsaved one goes without a question.
// Returns true when the issue was removed.
bool DeleteIssueAt(IssueWorkingCopy& wc, int p);

// Moves the issue at `from` so that it ends at position `to`, with its id and
// description, and marks a change. Out-of-range or equal positions do nothing.
void MoveIssue(IssueWorkingCopy& wc, int from, int to);

// Stores the description of position p, trimmed of surrounding blanks and line
// breaks, and marks a change (unless the text is unchanged).
void SetIssueDescription(IssueWorkingCopy& wc, int p, const std::string& text);

// Writes the working copy in one transaction: new issues inserted, stored ones
// updated, removed ones deleted, every IRank rewritten to its position (0, 1,
// 2 ...). On success the new issues get their ids, the deleted list is
// cleared and the changed flag is reset. On failure the database is left as
// it was, the user is told, the working copy is kept unchanged (still marked
// as changed) and false is returned.
bool SaveIssueList(IssueWorkingCopy& wc);

// --- issue selection (form SI) ---

// One stored issue as offered for selection.
struct IssueChoice {
    RowId id = 0;
    std::string title;
};
// The station's issues of a quarter in IRank order.
std::vector<IssueChoice> ReadStationIssues(int32_t quarter, RowId stationId);
// For each choice, whether its title is one of the preselected titles (exact text).
std::vector<bool> PreselectIssues(const std::vector<IssueChoice>& choices,
                                  const std::vector<std::string>& preselected);

// Opens SI modally over `parent` for the station's issues of the quarter, with
// the titles in `preselected` selected. On OK returns the chosen issues, id and
// title, in list order; Cancel (or closing the window) returns nothing.
std::optional<std::vector<IssueChoice>> ChooseIssues(const std::string& parent, int32_t quarter,
                                                     RowId stationId,
                                                     const std::vector<std::string>& preselected);

// Opens the issues list form modally over `parent` at its designed size. It
// shows the quarter (0 or not on file: today's) and the station with the given
// call letters (unknown or "All Stations": the first). Says afterwards what
// the caller may have to show anew.
struct IssuesListResult {
    bool saved = false;       // issues were written (titles show in program lists)
    bool newQuarter = false;  // a previous quarter was added (quarter selectors lack it)
};
IssuesListResult OpenIssuesList(const std::string& parent, int32_t quarter,
                                const std::string& stationCalls);
// Opens the issues list over parent on the given quarter and station (call
// letters) with the issue issueId selected (0: none), whatever the parent shows.
void OpenIssuesListAt(const std::string& parent, int32_t quarter, const std::string& calls,
                      RowId issueId);

// Control ids of the issues list (IL) and the issue selection dialog (SI).
inline constexpr int kIlQuarter = 100;
inline constexpr int kIlStation = 105;
inline constexpr int kIlEntry = 110;
inline constexpr int kIlList = 115;
inline constexpr int kIlDescription = 120;
inline constexpr int kIlSave = 125;
inline constexpr int kIlExit = 130;
inline constexpr int kIlCopy = 135;
inline constexpr int kIlHelp = 140;
inline constexpr int kSiList = 100;
inline constexpr int kSiOk = 105;
inline constexpr int kSiCancel = 110;
inline constexpr int kSiHelp = 115;

// Designed sizes of the two forms, in character units.
inline constexpr double kIssuesListWidth = 72;
inline constexpr double kIssuesListHeight = 28;
inline constexpr double kIssueSelectWidth = 46;
inline constexpr double kIssueSelectHeight = 22;
