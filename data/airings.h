// A program entry's airings, and the texts the program list and the program
// editor show of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The "×" that separates airings in AiringList (UTF-8).
inline constexpr const char* kAiringSeparator = "\xC3\x97";

struct Airings {
    std::vector<int32_t> days;     // day numbers, ordered by day then time
    std::vector<int32_t> minutes;  // minutes after midnight
};

Airings LoadAirings(const std::string& mid);
std::string ListDateCell(const std::string& mid);
std::string ListTimeCell(const std::string& mid, const std::string& freqCheck,
                         const std::string& frequency);
std::string AiringList(const std::string& mid);
