// The quarterly Issues/Programs list of one station as a PDF document, and
// the station list shared by the print and analysis dialogs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reports/pdf_page.h"

// What the print dialog hands to the report when Print is pressed.
struct ReportChoice {
    std::string period;     // ReportPeriod: quarter display name ("2019 - Apr-Jun")
    std::string station;    // ReportStation: call letters
    int32_t placedDay = 0;  // day number of the "Date Placed in Public File" picker; 0 = today
};

// One program as the list prints it under an issue.
struct ListProgram {
    std::string title;
    std::string paragraph;  // ProgramParagraph
};

struct ListIssue {
    std::string iid;
    std::string title;
    std::string description;
    std::vector<ListProgram> programs;  // in database order; twice when listed twice
};

struct IssuesListData {
    std::string calls;
    std::string license;
    int32_t quarter = 0;
    std::string longPeriod;         // April 1 - June 30, 2019
    std::string placedText;         // June 24, 2019
    std::vector<ListIssue> issues;  // rank order; the number is the position + 1
    bool incomplete = false;        // read from a damaged database: every page says so
};

// Reads everything the report prints, with a handful of queries for the whole station.
IssuesListData LoadIssuesListData(int32_t quarter, const std::string& calls, int32_t placedDay);

// Before a list or report is made from a database that could not be read
// whole (a damaged file): says so and asks whether to go on with what could
// be read (what: "list", "report", "export"). True when the user chose to go on.
bool GoOnWithIncompleteData(const std::string& what);
// The line every page of a list that could not be read whole carries.
inline constexpr const char* kIncompleteNote =
    "This list may be incomplete: part of the database could not be read.";

// "June 24, 2019" for a day number; 0 gives today.
std::string PlacedDateText(int32_t day);

// Lays the report out into a new document. Null when no document could be
// made or libharu failed at a page break in Section I (nothing to save then).
PdfDocument ComposeIssuesProgramsList(const IssuesListData& data, PdfErrorState& errors);

// The longest file name (in bytes) the file systems in use accept.
inline constexpr size_t kMaxFileNameBytes = 255;
// variable + ending, the variable part (call letters) cut so that the whole
// stays within kMaxFileNameBytes; the ending (date, extension) is never cut.
std::string FitFileName(const std::string& variable, const std::string& ending);

// Proposed file name: calls + "_Issues_Programs_" + short period + ".PDF", blanks as "_".
std::string IssuesListFileName(const std::string& calls, int32_t quarter);

// The document as the bytes of a PDF file ("" when libharu could not write it).
std::string PdfDocumentBytes(HPDF_Doc doc);

// Makes the document whole in memory and writes it to path through a
// temporary file renamed when complete, then frees it. "" when it was written;
// else why not, in words ("the disk is full"), and path is as it was. After a
// libharu error (told to the user by the error handler) nothing is written.
std::string WriteReportFile(PdfDocument doc, const PdfErrorState& errors, const std::string& path);

// Writes the document to path (through a temporary file renamed when
// complete) and frees it; then opens the file. False, with nothing written
// and nothing opened, after a libharu error or a failed write (told to the user).
bool SaveAndOpenReport(PdfDocument doc, const PdfErrorState& errors, const std::string& path);

// Builds, saves (asking where, over form) and opens the report of the choice.
void PrintIssuesProgramsList(const std::string& form, const ReportChoice& in);

// Call letters of the stations that have programs in quarter q, in database order.
std::vector<std::string> StationsWithPrograms(int32_t quarter);

// The Period and Station boxes at the top of the print and analysis dialogs,
// each in its frame.
void DesignReportChoice(const std::string& form, int periodFrame, int period, int stationFrame,
                        int station);
// Fills the period box and shows the quarter in it (today's when the box
// does not hold it).
void FillReportPeriods(const std::string& form, int period, int32_t quarter);
// Refills the station box with `first` (when not null) and the stations that
// have programs in the period shown; keeps `wanted` selected when listed, else
// the first entry.
void FillReportStations(const std::string& form, int period, int station, const std::string& wanted,
                        const char* first);

// Suggested size of the print dialog in character units.
inline constexpr double kPrintDialogWidth = 50;
inline constexpr double kPrintDialogHeight = 10.8;
// Opens the print dialog over parent on the quarter and the station with the
// given call letters ("" or not listed: the first).
void OpenPrintDialog(const std::string& parent, int32_t quarter, const std::string& stationCalls);
