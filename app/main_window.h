// The main window "VL": its program list and the commands other forms call
// after they changed something the list shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/program_list.h"

// Designed size of the main window (character units).
inline constexpr double kMainWindowWidth = 118;
inline constexpr double kMainWindowHeight = 36;

// Control ids of the main window (the robot and other forms rely on them).
inline constexpr int kVlToolbar = 50;
inline constexpr int kVlNewButton = 51;
inline constexpr int kVlCopyButton = 52;
inline constexpr int kVlEditButton = 53;
inline constexpr int kVlDeleteButton = 54;
inline constexpr int kVlPrintButton = 55;
inline constexpr int kVlOptionsButton = 56;
inline constexpr int kVlHelpButton = 57;
inline constexpr int kVlExitButton = 58;
inline constexpr int kVlQuarter = 100;
inline constexpr int kVlStation = 105;
inline constexpr int kVlList = 110;
inline constexpr int kVlFrame = 115;
inline constexpr int kVlStatus = 125;
// Menu items of the main window.
inline constexpr int kVlMenuFile = 9000;
inline constexpr int kVlMenuIssues = 9005;
inline constexpr int kVlMenuNew = 9015;
inline constexpr int kVlMenuCopy = 9020;
inline constexpr int kVlMenuEdit = 9025;
inline constexpr int kVlMenuDelete = 9030;
inline constexpr int kVlMenuPrint = 9040;
inline constexpr int kVlMenuCheckList = 9041;   // "Check &List Before Filing..."
inline constexpr int kVlMenuExportList = 9042;  // "E&xport List..."
inline constexpr int kVlMenuExit = 9050;
inline constexpr int kVlMenuTools = 9100;
inline constexpr int kVlMenuStations = 9105;
inline constexpr int kVlMenuCopyStations = 9110;
inline constexpr int kVlMenuAnalysis = 9115;
inline constexpr int kVlMenuSpellEditor = 9125;
inline constexpr int kVlMenuImport = 9260;  // "Import Airings..." (Tools)
inline constexpr int kVlMenuBackup = 9135;
inline constexpr int kVlMenuRestore = 9140;
inline constexpr int kVlMenuOptions = 9200;
inline constexpr int kVlMenuHelp = 9300;
inline constexpr int kVlMenuHelpTopics = 9305;
inline constexpr int kVlMenuHelpIndex = 9310;
inline constexpr int kVlMenuWebsite = 9320;
inline constexpr int kVlMenuUpdate = 9325;
inline constexpr int kVlMenuServiceReport = 9330;
inline constexpr int kVlMenuAbout = 9345;
// The separator lines of the menus.
inline constexpr int kVlMenuFileSep1 = 9010;
inline constexpr int kVlMenuFileSep2 = 9035;
inline constexpr int kVlMenuFileSep3 = 9045;
inline constexpr int kVlMenuToolsSep1 = 9120;
inline constexpr int kVlMenuToolsSep2 = 9130;
inline constexpr int kVlMenuHelpSep1 = 9315;
inline constexpr int kVlMenuHelpSep2 = 9340;

// Refills the program list for Shell().currentQuarter and the station filter.
void FillProgramList();
// Shows one entry anew after it was saved: changes its row, adds it (where the
// list's sort puts it) or removes it when it no longer belongs to the quarter
// and station shown. The other rows, their order and the selection stay.
void ShowProgramListEntry(RowId mid);
// Enables New/Copy/Edit/Delete for the filter and selection; shows the selection count.
void UpdateCommands();
// Refills the station filter, keeps the station shown when the quarter still
// has it (else "All Stations"), and sets Shell().filterStationId.
void RefreshStationFilter();
// Writes "Days to End of Quarter" into the status bar.
void ShowDaysToEnd();
// The New, Delete commands of the main window.
void NewProgram();
void DeletePrograms();

// Shows the filing reminder when today is the stored deadline, then clears it.
void FilingDeadlineAlert();
