// Every station's Issues/Programs list of a quarter in one go: one PDF per
// station, each the file the single-station print writes (the same name in
// the station's remembered PDF folder), with a progress dialog (form PA)
// that can be cancelled between stations.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What became of one station's list.
struct StationListFile {
    std::string calls;
    std::string path;  // where the list is (to be) written
    bool written = false;
    bool incomplete = false;  // part of the database could not be read (the list says so)
    std::string error;        // why it was not written
};

// The file the single-station print proposes for the station: its remembered
// folder (section "PDF", key = call letters, default the PDF folder) and
// IssuesListFileName.
std::string StationListPath(const std::string& calls, int32_t quarter);

// Builds the station's list and writes it to StationListPath (temporary file
// beside it, renamed when complete). Opens nothing.
StationListFile WriteStationList(int32_t quarter, const std::string& calls, int32_t placedDay);

// One run over every station that has programs in the quarter.
struct AllStationsRun {
    int32_t quarter = 0;
    int32_t placedDay = 0;
    std::vector<std::string> stations;  // call letters, in the print dialog's order
    std::vector<std::string> leftOut;   // the quarter's stations without programs: no list
    size_t next = 0;                    // index of the next station to write
    bool cancelled = false;             // set by Cancel; checked between stations
    std::vector<StationListFile> results;
};
AllStationsRun StartAllStations(int32_t quarter, int32_t placedDay);
// Writes the next station's list. False (nothing done) when the run is
// cancelled or every station has been written.
bool PrintNextStation(AllStationsRun& run);
bool AllStationsDone(const AllStationsRun& run);

// The closing message: title, first text (the files written) and second text
// (stations whose list failed, or that cancelling left out), with the message
// box's format codes.
struct AllStationsOutcome {
    std::string title, text1, text2;
};
AllStationsOutcome DescribeAllStations(const AllStationsRun& run);
// The folders that received a file, each once, in the order first written.
std::vector<std::string> FoldersWritten(const AllStationsRun& run);

// Runs the whole print over parent: the progress dialog PA, then the closing
// message, then the folders written to are opened.
void PrintAllStations(const std::string& parent, int32_t quarter, int32_t placedDay);

// A test seam: called by the progress dialog after each station's list (the
// dialog still open, its texts updated), e.g. to take a screenshot or press
// Cancel. Returns the previous hook.
using StationWrittenHook = std::function<void(const AllStationsRun&)>;
StationWrittenHook SetStationWrittenHook(StationWrittenHook hook);

// Progress dialog PA.
inline constexpr int kPaText = 100;
inline constexpr int kPaProgress = 105;
inline constexpr int kPaCancel = 110;
inline constexpr int kPaHelpTopic = 520;
