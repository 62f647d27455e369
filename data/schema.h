// Opening, creating and upgrading the database file Data/VantrelData.db3.
#pragma once

#include <string>

// Opens or creates the database in the data folder and upgrades it. Returns false
// (after the "DB Error" box) when a new file cannot be created.
bool OpenDatabase();
// The same on an explicit file (tests, restore).
bool OpenDatabaseFile(const std::string& path);
// Converts the old air-date text of Master.AirDates into DateTime rows.
void ConvertAirDates();
