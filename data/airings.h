// A program entry's airings, and the texts the program list and the program
// editor show of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/query.h"

// The "×" that separates airings in AiringList (UTF-8).
inline constexpr const char* kAiringSeparator = "\xC3\x97";

// One airing: the day it went out and its time on that day.
struct Airing {
    int32_t day = 0;      // day number
    int32_t minutes = 0;  // minutes after midnight
};
// A program entry's airings, ordered by day then time.
using Airings = std::vector<Airing>;

// The condition that picks the airings of the entries `Master` rows matching
// `masterWhere` select: "MLink IN (SELECT +MID FROM Master WHERE ...)". The
// "+" compares the ids as stored (integers on both sides); without it MID's
// integer affinity converts every MLink first and SQLite cannot look the
// airings up through the index on MLink, reading them all.
std::string AiringsOfEntriesWhere(const std::string& masterWhere);

Airings LoadAirings(RowId mid);
std::string ListDateCell(RowId mid);
std::string ListTimeCell(RowId mid, const std::string& freqCheck, const std::string& frequency);
std::string AiringList(RowId mid);
