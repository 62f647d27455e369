// Controls filled from or read into the data layer.
#pragma once

#include <cstdint>
#include <string>

// Fills a quarter drop-down with every quarter on file, newest first. Mode 0
// keeps the quarter shown, mode 1 selects today's quarter.
void FillQuarterSelector(const std::string& form, int control, int mode);
// When the quarter has stations, asks whether to add a previous quarter and
// opens "CQ" over the current form on Yes. True when a quarter was added: the
// caller's quarter selectors lack it.
bool OfferPreviousQuarter(int32_t quarter);
// Opens "Add A Previous Quarter" over parent; true when it created a quarter.
bool OpenAddQuarter(const std::string& parent);
// The day number of the date a date-time picker shows.
int32_t PickerJulianDate(const std::string& form, int control);
