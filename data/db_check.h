// Checks of database files: that a file is a working SQLite database before it
// replaces the program's database, and the checks of the open database made
// at start-up (is the file whole, does it hold every table and column the
// program reads and writes, can it be written now).
#pragma once

#include <string>
#include <vector>

// True when the file starts with the SQLite header, opens read-only and
// "PRAGMA integrity_check" answers "ok". Otherwise false with the problem in
// words. Uses its own connection; the program's connection is not touched.
bool IsWorkingDatabase(const std::string& path, std::string& problem);

enum class DbIntegrity {
    Ok,
    Damaged,  // SQLite's quick check found damage (or the file is no database)
    Busy,     // another program holds the file
};
// PRAGMA quick_check on the open database; `report` gets its first lines when damaged.
DbIntegrity QuickCheckDatabase(std::string& report);

// Tables and columns the program needs that the open database lacks, as
// "Quarter" (a whole table) or "Stations.License" (one column), in the order
// of the layout. Extra tables and columns are fine. `failed` is set when the
// layout could not be read (damaged or busy file).
std::vector<std::string> MissingSchemaItems(bool& failed);

// True when a write can start now: false with slErrorIsBusy() when another
// program is writing to the file.
bool DatabaseWritableNow();
