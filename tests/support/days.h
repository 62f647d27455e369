// Test support: day numbers written as the dates they stand for.
#pragma once

#include <cstdint>

#include "data/dates.h"

// The day number of a date, year first: Day(2019, 4, 2) is April 2, 2019.
inline int32_t Day(int32_t year, int32_t month, int32_t day) {
    return Mdy2JulianDate(month, day, year);
}
