// Process-wide records of the application shell: program folders and the
// state shared by the main window and the forms it opens.
#pragma once

#include <cstdint>
#include <string>

struct AppPaths {
    std::string appFolder;       // program folder, trailing "/"
    std::string settingsFile;    // appFolder + "Vantrel.ini"
    std::string helpFolder;      // appFolder + "Help/"
    std::string helpFile;        // helpFolder + "index.html"
    std::string dataFolder;      // appFolder + "Data/"
    std::string backupFolder;    // appFolder + "Backup/"
    std::string pdfFolder;       // appFolder + "PDF/"
    std::string analysisFolder;  // appFolder + "Analysis/"
};

// Fills every path from a program folder (with or without trailing "/").
void SetAppFolder(const std::string& folder);
const AppPaths& Paths();
// The folder of the program's own files (images, help, word list, history):
// the executable's folder, with a trailing "/". Set at start.
const std::string& ProgramFolder();
void SetProgramFolder(const std::string& folder);

// The main window's state: the quarter and station it shows, its list's
// sort, and the help topic F1 shows.
struct ShellState {
    int32_t currentQuarter = 0;      // CurrentQuarter
    bool pdfReaderPresent = false;   // PdfReaderPresent
    bool noStationsDefined = false;  // NoStationsDefined
    int32_t helpTopic = 310;         // HelpTopic
    int64_t filterStationId = 0;     // FilterStationId, a RowId (0 = All Stations)
    int32_t sortColumn = 0;          // SortColumn
    int32_t sortDirection = 0;       // SortDirection
};
ShellState& Shell();

inline constexpr const char* kProgramName = "Vantrel";
inline constexpr const char* kVersionMajorMinor = "1.8";
inline constexpr const char* kVersionBuild = "4.0";
inline constexpr const char* kVersionFull = "1.8.4.0";
// The name of the desktop entry (and AppStream id) of an installed copy.
inline constexpr const char* kDesktopId = "com.example.vantrel";
inline constexpr const char* kMainCaption = "Vantrel - Quarterly Issues & Programs List Manager";
