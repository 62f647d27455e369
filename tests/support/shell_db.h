// Test support for seeding the database.
#pragma once

#include <string>

// Runs one SQL statement; a failure fails the running test, naming the
// statement and the database's error.
void ExecSql(const std::string& sql);
