// A program entry as the program detail editor edits it: the Programs text,
// the Master row (quarter, station, addressed issues, period flag) and the
// airings, with the rules that decide what may be added and when the entry
// can be saved. Nothing here needs a window, so the rules and the save are
// testable on their own; editors/program_detail_form.cpp puts them on the form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/query.h"

struct ProgramEntry {
    RowId entryId = 0;    // MID; 0 for a new entry
    RowId programId = 0;  // PID; 0 for a new entry
    int32_t quarter = 0;  // quarter number
    RowId stationId = 0;  // StnID of the selected call letters
    std::string stationCalls;
    std::string title;
    std::string duration;
    std::string description;
    std::vector<std::string> issues;   // addressed issue titles, in list order
    std::vector<std::string> airings;  // airing texts ("<display date> HH:mm")
    bool freqCheck = false;            // several airings over a range of dates
    std::string frequency;             // number of airings in that range, as typed
};

// Designed size of the program detail editor (form PD), in character units.
inline constexpr double kProgramDetailWidth = 100;
inline constexpr double kProgramDetailHeight = 36;
// Control ids of the program detail editor (the robot and SI rely on them).
inline constexpr int kPdTitle = 100;
inline constexpr int kPdStation = 105;
inline constexpr int kPdDuration = 110;
inline constexpr int kPdVarious = 115;
inline constexpr int kPdCount = 120;
inline constexpr int kPdIssues = 125;
inline constexpr int kPdAirDate = 130;
inline constexpr int kPdAdd = 135;
inline constexpr int kPdAirings = 140;
inline constexpr int kPdDescription = 145;
inline constexpr int kPdBracket = 150;
inline constexpr int kPdSizeLabel = 155;
inline constexpr int kPdSizeValue = 160;
inline constexpr int kPdSizeSpin = 165;
inline constexpr int kPdPtsLabel = 170;
inline constexpr int kPdSave = 175;
inline constexpr int kPdExit = 180;
inline constexpr int kPdHelp = 185;
inline constexpr int kPdStationFrame = 190;
inline constexpr int kPdTitleFrame = 195;
inline constexpr int kPdDurationFrame = 200;
inline constexpr int kPdAirFrame = 205;
inline constexpr int kPdMultipleFrame = 210;
inline constexpr int kPdIssuesFrame = 215;
inline constexpr int kPdDescriptionFrame = 220;
inline constexpr int kPdHeading = 225;
inline constexpr int kPdF2 = 912;
// What the program detail editor is opened to do.
enum class EntryEditMode { Add = 1, Copy, Edit };
// Opens the program detail editor modally over parent on the quarter. Add: a
// new entry with the station stationId chosen (0: none chosen yet). Copy: a
// new entry filled from the stored entry entryId. Edit: the stored entry
// entryId. Returns the id of the entry saved (0 when none was), which the
// opener shows anew.
RowId OpenProgramDetail(const std::string& parent, EntryEditMode mode, RowId entryId,
                        int32_t quarter, RowId stationId);

// Help topics of the editor.
inline constexpr int kTopicAddProgram = 220;
inline constexpr int kTopicCopyProgram = 130;
inline constexpr int kTopicEditProgram = 170;
inline constexpr int kTopicUpdateAiring = 90;

// "Jan-Mar 2011" for quarter 20111: the period part of the display name and the year.
std::string QuarterLabel(int32_t quarter);

// --- airing texts ---
// The text an airing is listed and compared in: DisplayDate, a blank, 24-hour "HH:mm".
std::string AiringText(int32_t day, int32_t minutes);
// Reads an airing text in the current date order. False when it is not one.
bool ParseAiringText(const std::string& text, int32_t& day, int32_t& minutes);

enum class AiringChange { Added, Updated, OutOfRange, Duplicate, Invalid };

// Adds an airing (updateIndex -1) or replaces the airing at updateIndex. The
// airing's day must lie within [firstDay, lastDay] ("Date Out of Range"); no
// other listed airing may have the same text ("Duplicate Program Date/Time").
// Refusals are told to the user with an OK-only message and change nothing.
// The list is kept in date and time order.
AiringChange AddOrUpdateAiring(std::vector<std::string>& airings, int updateIndex,
                               const std::string& text, int32_t firstDay, int32_t lastDay,
                               const std::string& quarterLabel);

// --- availability ---
// The multiple-airings controls stand for the first and last day of a range,
// so they are offered only with exactly two airings.
bool MultipleAiringsAvailable(size_t airingCount);
// Save is offered when the entry is complete: station, title, duration,
// description, at least one airing and one issue, and, for a range of two
// airings marked as several airings, a count greater than 0.
bool SaveAvailable(const ProgramEntry& entry);

// Replaces typographic characters in pasted text by plain ones: the ellipsis
// by "...", the right single quote by "'", the double quotes by '"'. Both the
// Unicode characters and stray Windows-1252 bytes of them are recognised;
// every other character, valid multi-byte sequences included, is kept.
std::string CleanDescription(const std::string& text);

// --- database ---
// Reads entry mid into entry (ids, station, texts, issue titles, airings in
// date and time order, period flag and count). False when there is no such entry.
bool LoadProgramEntry(RowId mid, ProgramEntry& entry);

// Writes the entry in one transaction: in copy mode (copySourceStationId not
// 0) the issues the target station lacks are created first with the
// source station's descriptions; then Programs, Master and the entry's
// DateTime rows (all old airings replaced). On success entry.programId and
// entry.entryId hold the stored ids. On failure nothing is changed in the
// database, the entry keeps its ids and error says why.
bool SaveProgramEntry(ProgramEntry& entry, RowId copySourceStationId, std::string& error);
