// Stations per quarter and the copying of stations and issues: the plain data
// operations behind the station list (SL), the add/edit dialog (ES), the
// copy-stations dialog (CS) and the copy-issues dialog (CI).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/quarters.h"
#include "data/query.h"

// --- adding and editing ---
// Call letters are stored trimmed and in upper case, the city trimmed.
void NormaliseStation(std::string& calls, std::string& license);
// True when both fields hold something besides blanks (the rule for "&OK").
bool StationInputComplete(const std::string& calls, const std::string& license);

enum class StationSave {
    Saved,      // written
    Empty,      // call letters or city empty after trimming; nothing written
    Duplicate,  // the call letters already belong to another station of the quarter
    Failed,     // the database refused the statement; nothing written
};
// Adds a station (stationId 0) with Rank = highest Rank of the quarter + 1, or
// updates the call letters and city of an existing one (Rank unchanged).
// calls/license come back normalised, as stored.
StationSave SaveStation(int32_t quarter, int64_t stationId, std::string& calls,
                        std::string& license);

// --- copying stations into another quarter ---
// Stations of other quarters whose call letters the target quarter does not
// have yet, by call letters; one entry per distinct city.
std::vector<StationRow> StationCopyCandidates(int32_t targetQuarter);
// Copies the chosen stations into the target quarter in one transaction. The
// copies are ranked C, C+1, ... where C is the number of stations the target
// held before. A second entry with call letters already chosen is skipped.
// Returns the number of stations written (0 when nothing was chosen), or -1
// when the database refused the batch (nothing is written then).
int CopyStationsToQuarter(const std::vector<StationRow>& chosen, int32_t targetQuarter);

// --- copying issues between stations of one quarter ---
struct IssueItem {
    int64_t id = 0;  // IID
    std::string title;
};
// The stored issues of a station in a quarter, in IRank order.
std::vector<IssueItem> StationIssues(int32_t quarter, int64_t stationId);
// The other stations of the quarter (every station whose call letters differ
// from the source's), in the database's row order.
std::vector<StationRow> CopyIssueTargets(int32_t quarter, const std::string& sourceCalls);

struct CopyIssuesResult {
    bool ok = true;    // false: the database refused the batch and nothing was written
    int inserted = 0;  // issues written
};
// Copies the issues (in the given order) to every target station of the
// quarter, all in one transaction. A title the target already has (exact
// text) is skipped; the copies are ranked after the target's highest IRank.
CopyIssuesResult CopyIssuesToStations(int32_t quarter, const std::vector<IssueItem>& issues,
                                      const std::vector<int64_t>& targetIds);

// --- opening the forms ---
// The source of the copy-issues dialog: the quarter and station shown by the
// issues list.
struct CopyIssuesSource {
    int32_t quarter = 0;
    int64_t stationId = 0;
    std::string calls;
};
// Opens the copy-issues dialog over parent for the given source (opened
// without one, it offers nothing to copy).
void OpenCopyIssues(const std::string& parent, const CopyIssuesSource& source);
// Opens the station list over parent on today's quarter. Returns true when a
// previous quarter was added from it, which the opener's quarter selectors lack.
bool OpenStationList(const std::string& parent);
// Opens the station editor over parent: with stationId 0 it adds stations to
// the quarter one after another, else it edits that station. onSaved runs
// after every save, while the editor is still open, so the opener can show it.
void OpenStationEditor(const std::string& parent, int32_t quarter, int64_t stationId,
                       const std::function<void()>& onSaved);
void OpenCopyStations(const std::string& parent);

// Control ids of the station list (SL), the station editor (ES), the
// copy-stations dialog (CS) and the copy-issues dialog (CI).
inline constexpr int kSlQuarter = 100;
inline constexpr int kSlList = 105;
inline constexpr int kSlAdd = 110;
inline constexpr int kSlEdit = 115;
inline constexpr int kSlExit = 120;
inline constexpr int kSlHelp = 125;
inline constexpr int kEsCalls = 110;
inline constexpr int kEsCity = 115;
inline constexpr int kEsOk = 120;
inline constexpr int kEsCancel = 125;
inline constexpr int kEsHelp = 130;
inline constexpr int kCsList = 100;
inline constexpr int kCsQuarter = 105;
inline constexpr int kCsCopy = 110;
inline constexpr int kCsExit = 115;
inline constexpr int kCsHelp = 120;
inline constexpr int kCiSource = 100;
inline constexpr int kCiTargets = 105;
inline constexpr int kCiIssues = 110;
inline constexpr int kCiCopy = 115;
inline constexpr int kCiCancel = 120;
inline constexpr int kCiHelp = 125;
inline constexpr int kCiSelectAll = 4000;  // items of the check list's context menu
inline constexpr int kCiUnselectAll = 4001;
inline constexpr int kCiPopup = 4005;  // that context menu

// Designed sizes (character units); the forms size themselves to these.
inline constexpr double kStationListWidth = 62, kStationListHeight = 20.5;
inline constexpr double kStationEditWidth = 50, kStationEditHeight = 8.6;
inline constexpr double kCopyStationsWidth = 62, kCopyStationsHeight = 20.5;
inline constexpr double kCopyIssuesWidth = 62, kCopyIssuesHeight = 21.5;
