// Test support: rows written straight into the open database. Every function
// fails the running test when the database refuses its statement (naming the
// statement and the database's error) and then returns 0, never the id of an
// earlier row.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "data/query.h"

// Runs statements that make no row (triggers, deletes, schema changes).
void ExecSql(const std::string& sql);
// Runs one INSERT and returns the id of the row it made.
RowId SeedRow(const std::string& insertSql);

// A Quarter row; its first and last day as day numbers (0: none).
RowId SeedQuarter(int32_t quarter, int32_t firstDay = 0, int32_t lastDay = 0);
// A Quarter row without dates for each quarter number.
void SeedQuarters(std::initializer_list<int32_t> quarters);
RowId SeedStation(const std::string& calls, const std::string& license, int32_t quarter,
                  int rank = 0);
RowId SeedIssue(RowId station, int32_t quarter, const std::string& title,
                const std::string& description = "", int rank = 0);
// The issue field of an entry: the ids joined with "|".
std::string IssueList(std::initializer_list<RowId> issues);

// A Programs row alone (title, duration and description of a program).
RowId SeedProgramRow(const std::string& title, const std::string& duration,
                     const std::string& description = "");
// One airing: day number and minutes after midnight.
using SeedAiringAt = std::pair<int32_t, int32_t>;
// A program and its entry (the MID returned) for the station and quarter,
// addressing `issues` ("iid|iid"), with one airing per (day, minutes).
RowId SeedProgram(RowId station, int32_t quarter, const std::string& issues,
                  const std::string& title, const std::string& duration,
                  const std::string& description, const std::vector<SeedAiringAt>& airings,
                  const std::string& freqCheck = "0", const std::string& frequency = "0");
// A bare entry row (no program row, no airings) that addresses `issues`;
// enough for the checks that ask whether an issue is in use.
RowId SeedEntry(RowId station, int32_t quarter, const std::string& issues, RowId program = 1);
RowId SeedAiring(RowId entry, int32_t day, int32_t minutes);
