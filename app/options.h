// The program options: one table of keys, defaults and kinds; the record every
// Part reads; loading at start-up.
#pragma once

#include <string>
#include <vector>

struct Options {
    int copyStations = 0;   // 0 all stations, 1 active only
    bool copyIssues = true;
    bool alertDeadline = true;
    bool tipsOn = true;
    bool update = true;
    bool enableBackup = false;
    int backupSeq = 0;      // 0 daily, 1 weekly, 2 monthly
    int weekNum = 0;        // 0 first .. 4 last
    int backupDow = 0;      // 0 Monday .. 6 Sunday
    bool autoName = true;
    bool warnOverwrite = true;
    int dateFormat = 1;     // Format of section Dates
    bool slash = false;
    bool mondayStart = false;
    int fontSize = 9;       // Size of section Font
};

Options& Opts();
void LoadOptions();
// Writes the record in the order of the options dialog's save.
void SaveOptions(const Options& o);
