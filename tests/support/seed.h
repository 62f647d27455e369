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
// A program and its entry, named field by field:
//   SeedProgram({.station = sid, .quarter = 20192, .issues = IssueList({iid}),
//                .title = "Forum", .duration = "30 minutes", .airings = {{day, 570}}});
struct ProgramSeed {
    RowId station = 0;
    int32_t quarter = 0;
    std::string issues;  // the issue ids joined with "|"
    std::string title;
    std::string duration;
    std::string description;
    std::vector<SeedAiringAt> airings;  // one airing each
    std::string freqCheck = "0";        // "1": `frequency` airings over the period
    std::string frequency = "0";
};
// Writes the Programs row, its entry and the airings; returns the entry's MID.
RowId SeedProgram(const ProgramSeed& program);
// A bare entry row (no program row, no airings) that addresses `issues`;
// enough for the checks that ask whether an issue is in use.
RowId SeedEntry(RowId station, int32_t quarter, const std::string& issues, RowId program = 1);
RowId SeedAiring(RowId entry, int32_t day, int32_t minutes);
