// Opening, creating and upgrading the database file Data/VantrelData.db3.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Opens or creates the database in the data folder and upgrades it. Returns false
// (after the "DB Error" box) when a new file cannot be created.
bool OpenDatabase();
// The same on an explicit file (tests, restore).
bool OpenDatabaseFile(const std::string& path);
// Creates the look-up indexes the open database lacks (by entry, quarter and
// station; both opens above call it). A database that can only be read gets
// none, and a failure to create one is no failure of the open: the program
// works without them, only slower. The tables are never changed.
void CreateLookupIndexes();
// One airing read from the old air-date text: day number and minutes of day.
struct OldAiring {
    int32_t day = 0;
    int32_t minutes = 0;
};
// The airings of one old air-date text; entries that are no real date and time
// are counted in `skipped` and left out.
std::vector<OldAiring> ParseOldAirDates(const std::string& airDates, int& skipped);
