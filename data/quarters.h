// Quarter numbers (year * 10 + quarter), bounds, display names, creation with
// the filing deadline, and the roll-over of stations and issues.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/query.h"

void QuarterBounds(int32_t quarter, int32_t& startDate, int32_t& endDate);
std::string QuarterName(int32_t quarter, const std::string& quarterText = "");
int32_t QuarterFromName(const std::string& name);
int32_t PreviousQuarter(int32_t quarter);
bool EnsureQuarter(int32_t quarter, bool withDeadline);
bool RollOverStations();
void CopyStationIssues(const std::string& sourceCalls, int32_t sourceQuarter,
                       const std::string& targetCalls, int32_t targetQuarter);
bool CreatePreviousQuarter(int32_t sourceQuarter, int32_t newQuarter, bool copy, bool report);

// A station of a quarter.
struct StationRow {
    RowId id = 0;
    std::string calls;
    std::string license;
};
// The stations of a quarter in Rank order.
std::vector<StationRow> StationsOfQuarter(int32_t quarter);
