// A generated station group: one quarter of program entries for many stations,
// with the texts, issues and airings a real group would type. Used by the
// benchmarks and by scripts/scale-figures (through make_station_group) to
// measure the program at scale.
#pragma once

#include <cstdint>
#include <string>

struct StationGroupShape {
    int stations = 50;
    int entries = 50000;  // spread over the stations at random, in mixed order
    int airingsPerEntry = 3;
    int issuesPerStation = 10;
    int32_t quarter = 20192;  // April to June 2019
};

// Writes the quarter row, the stations (with their methods), their issues,
// and one program text, entry and its airings per entry into the open
// database, all in one transaction. The same shape always gives the same
// rows. False (nothing written) when a write failed; slGetError() says why.
bool SeedStationGroup(const StationGroupShape& shape);

// The call letters of station number `index` (0-based) as seeded, e.g. "WAAB-FM".
std::string StationGroupCalls(int index);

// Makes `folder` a program folder holding only a seeded database
// (Data/VantrelData.db3 in the program's own layout). The database is left
// closed. False when the folder or the database could not be made.
bool MakeStationGroupFolder(const std::string& folder, const StationGroupShape& shape);
