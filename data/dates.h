// Day numbers (Julian Day Numbers of the proleptic Gregorian calendar), minutes
// of day, and the text forms dates and times take on screen and in reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/base/date_settings.h"

// --- the clock: every "today"/"now" goes through here ---
struct ClockReading {
    int year, month, day, hour, minute, second;
};
ClockReading Now();
// Fixes the clock (tests and scenarios); std::nullopt returns to the system clock.
void SetClockOverride(std::optional<ClockReading> reading);
int32_t TodayJulian();
std::string TodayDateText();  // "MM-DD-YYYY"
std::string TodayTimeText();  // "HH:MM:SS"

// --- calendar arithmetic ---
int32_t Mdy2JulianDate(int32_t month, int32_t day, int32_t year);
void JulianDate2Mdy(int32_t jd, int32_t& month, int32_t& day, int32_t& year);
int IsLeapYear(int32_t year);
int DaysInMonth(int32_t month, int32_t year);
int DayOfWeek(int32_t jd);  // 1 Monday ... 7 Sunday

// --- text to day number ---
// mode "MDY" or "YMD"; empty text gives today and sets mode to "MDY".
// Shows "Invalid Date" and returns 0 when a field is 0.
int32_t Date2JulianDate(std::string text, std::string& mode);
int32_t Display2JulianDate(std::string& text);

// --- day number to text ---
std::string JulianDate2Text(int32_t& jd, int style);
std::string JulianDate2Display(int32_t jd, int formatCode, int yearMode,
                               const std::string& separator);
std::string DisplayDate(int32_t jd);
std::string DashDate(int32_t jd, int formatCode, int yearMode);
std::string DateFormatHint(int formatCode);
std::string MonthDayText(const std::string& text);
std::string MonthName(int month);  // "January" .. "December", "" otherwise

// --- times ---
std::string MilitaryTime(const std::string& minutes);
std::string AmPmTime(int32_t minutes);

// --- clock-derived strings ---
std::string DateTimeStamp();
int32_t TodayQuarter();
std::string BuildDateText();
std::string QuarterPeriodText(int32_t quarter, int style);
