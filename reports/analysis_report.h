// The analysis PDF: per issue of a station, how many programs of the quarter
// addressed it, their first and last air dates and the share of all issue
// references; one station or every station of the quarter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reports/pdf_page.h"

inline constexpr const char* kAllStations = "All Stations";

struct AnalysisRow {
    std::string title;  // IIssue
    int count = 0;      // program records that list the issue (each once)
    int32_t first = 0;  // earliest first airing day of those records, 0 when none
    int32_t last = 0;   // latest last airing day, 0 when none
};

struct StationAnalysis {
    std::string calls;
    bool hasIssues = false;
    std::vector<AnalysisRow> rows;  // rank order; number = position + 1
    int references = 0;             // issue references of all program records
    int programsAired = 0;          // program records of the station
};

StationAnalysis LoadStationAnalysis(int32_t quarter, const std::string& calls);
// The analyses of `stations` (call letters) in the order given, each equal to
// LoadStationAnalysis of that station. The entries and airings of the quarter
// are read once for all of them, so the time grows with the entries, not with
// the entries times the stations.
std::vector<StationAnalysis> LoadQuarterAnalysis(int32_t quarter,
                                                 const std::vector<std::string>& stations);

// "12.5%": count / references with one decimal; "0.0%" when there are no references.
std::string AnalysisPercent(int count, int references);

// The issue title as the table shows it: its first 36 characters.
std::string AnalysisTitle(const std::string& title);

// Lays out the stations in order, each on new pages numbered from 1. Null when
// no document could be made or libharu reported an error (nothing to save).
PdfDocument ComposeAnalysis(int32_t quarter, const std::vector<StationAnalysis>& stations,
                            PdfErrorState& errors);

// "All Stations Analysis.PDF" or calls + " Analysis.PDF".
std::string AnalysisFileName(const std::string& choice);

// Writes the analysis of `stations` (the list entries after "All Stations"
// when choice is "All Stations", else choice alone) into the Analysis folder
// and opens it. Returns the file written, "" when nothing was saved.
std::string RunAnalysis(int32_t quarter, const std::string& choice,
                        const std::vector<std::string>& stations);

// Suggested size of the analysis dialog in character units.
inline constexpr double kAnalysisDialogWidth = 50;
inline constexpr double kAnalysisDialogHeight = 6.8;
// Opens the analysis dialog over parent on the quarter and the station with
// the given call letters ("" or not listed: "All Stations").
void OpenAnalysis(const std::string& parent, int32_t quarter, const std::string& stationCalls);
