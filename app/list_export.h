// Export of the program list: the rows the main window shows, one line per
// airing, as a CSV file a spreadsheet program opens as columns (UTF-8 with a
// byte-order mark, comma separated, CR LF line ends, fields quoted where they
// hold a comma, a quote or a line break).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/query.h"

// One line of the export: an airing of a program entry.
struct ExportLine {
    std::string date;  // "2019-04-02"; a period entry "2019-04-01/2019-06-30"; "" without airing
    std::string time;  // "09:30"; a period entry "Various x 12"; "" without airing
    std::string station, title, issues, duration, description;
};

// The lines for the entries (MIDs) in the order given, as the main window
// lists them for the quarter and station id (0 = all stations): one line per
// airing in date and time order, one line for an entry without airings, one
// line for an entry kept as a number of airings over a span of days.
std::vector<ExportLine> ListExportLines(int32_t quarter, RowId stationId,
                                        const std::vector<RowId>& mids);

// A field as RFC 4180 writes it: in double quotes (each quote doubled) when it
// holds a comma, a quote, a CR or an LF, else as it is. A field that begins
// with "=", "+", "-", "@", a tab or a CR gets an apostrophe in front, so that a
// spreadsheet shows it as text instead of running it as a formula.
std::string CsvField(std::string_view text);
// The whole file: byte-order mark, the header line, then one line per export
// line, every line ended by CR LF.
std::string ListExportCsv(const std::vector<ExportLine>& lines);
// "2019-04-02" for a day number.
std::string IsoDate(int32_t day);

// The proposed file name: "<calls>_Programs_<short period>.csv" (all stations:
// "All_Stations_..."), blanks and slashes as "_".
std::string ListExportFileName(const std::string& calls, int32_t quarter);

// The command: asks where to save (section "Export", key "Folder" remembers the
// folder), writes the file (temporary file, renamed when complete) and tells
// the user what was written or why nothing was.
void ExportProgramList(const std::string& form, int32_t quarter, RowId stationId,
                       const std::string& calls, const std::vector<RowId>& mids);

inline constexpr int kExportHelpTopic = 530;
