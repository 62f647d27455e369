// The import dialog IM ("Import Airings"): reads an as-run log, lets the user
// map its columns, tick the titles to import and choose their program
// entries, previews the counts and imports them (services/asrun_import.h).
#pragma once

#include <cstdint>
#include <string>

#include "data/query.h"
#include "services/asrun_import.h"

// Opens IM modally over parent with the quarter and station to import into
// (station 0: the quarter's first station). Returns what was imported;
// ok is false when the dialog closed without an import.
ImportOutcome OpenImportAirings(const std::string& parent, int32_t quarter, RowId station);
// Tells the user what the import added (after the caller has shown it).
void ReportImport(const ImportOutcome& outcome);

inline constexpr int kTopicImport = 500;
inline constexpr double kImportWidth = 124, kImportHeight = 46.4;

// Control ids of IM.
inline constexpr int kImFile = 100;
inline constexpr int kImBrowse = 105;
inline constexpr int kImHeader = 110;
inline constexpr int kImDate = 115;
inline constexpr int kImTime = 120;
inline constexpr int kImTitle = 125;
inline constexpr int kImLength = 130;
inline constexpr int kImDateTime = 135;
inline constexpr int kImQuarter = 140;
inline constexpr int kImStation = 145;
inline constexpr int kImDuration = 150;
inline constexpr int kImTitles = 155;
inline constexpr int kImTarget = 160;
inline constexpr int kImPreview = 165;
inline constexpr int kImProblems = 170;
inline constexpr int kImSummary = 175;
inline constexpr int kImLogInfo = 176;
inline constexpr int kImImport = 180;
inline constexpr int kImCancel = 185;
inline constexpr int kImHelp = 190;
inline constexpr int kImNewDuration = 220;  // the selected title's new entry's duration
inline constexpr int kImNotes = 225;        // what the preview's titles need said
// At most this many characters of a log's text are shown in a list cell or
// drop-down item (the full text stays in the session).
inline constexpr size_t kImShownChars = 200;
