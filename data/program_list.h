// The rows of the main window's program list, and deleting an entry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/query.h"

// One row of the program list: its six cells and the entry id (MID).
struct ProgramListRow {
    RowId mid = 0;
    std::vector<std::string> cells;  // Date, Time, Station, Program, Issues Addressed, Duration
};
// The rows of the program list for a quarter and a station id (0 = all stations),
// in list order. Looks the airings, station calls and issue titles up in a few
// batched queries; every cell equals what the per-entry lookups give.
std::vector<ProgramListRow> ProgramListRows(int32_t quarter, RowId stationId);  // 0: all stations
// The row of one entry, with the same cells ProgramListRows gives it; nullopt
// when the entry is gone or is not one of the quarter's (and the station's) rows.
std::optional<ProgramListRow> ProgramListRowOf(int32_t quarter, RowId stationId, RowId mid);
// Deletes one entry with its program text and airings in one transaction.
// False (nothing deleted) when the database refused.
bool DeleteProgramEntry(RowId mid);
// max(0, last day of the quarter - today + 1).
int DaysToEndOfQuarter(int32_t quarter);
