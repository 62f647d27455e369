// Checking that a file is a working SQLite database before it replaces the
// program's database.
#pragma once

#include <string>

// True when the file starts with the SQLite header, opens read-only and
// "PRAGMA integrity_check" answers "ok". Otherwise false with the problem in
// words. Uses its own connection; the program's connection is not touched.
bool IsWorkingDatabase(const std::string& path, std::string& problem);
