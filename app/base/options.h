// The program options: one table of keys, defaults and kinds; the record every
// Part reads; loading at start-up.
#pragma once

#include <string>
#include <variant>
#include <vector>

struct Options {
    int copyStations = 0;  // 0 all stations, 1 active only
    bool copyIssues = true;
    bool alertDeadline = true;
    bool tipsOn = true;
    bool update = true;
    bool enableBackup = false;
    int backupSeq = 0;  // 0 daily, 1 weekly, 2 monthly
    int weekNum = 0;    // 0 first .. 4 last
    int backupDow = 0;  // 0 Monday .. 6 Sunday
    bool autoName = true;
    bool warnOverwrite = true;
    int dateFormat = 1;  // Format of section Dates
    bool slash = false;
    bool mondayStart = false;
    int fontSize = 9;  // Size of section Font
};

Options& Opts();
void LoadOptions();
// Writes the record in the order of the options dialog's save. False when any
// key could not be written (the settings file or its folder cannot be written,
// the disk is full).
bool SaveOptions(const Options& o);

// One key of the settings file. A flag is stored as "0"/"1" and read as the
// lowest bit of the stored number; a number is read by its leading digits.
// The same table drives loading, saving and the options dialog.
enum class OptionKind { Flag, Number };
enum class OptionControl { None, Radio, Check, List };
struct OptionKey {
    const char* section;
    const char* key;
    const char* defaultText;  // nullptr: never read, only written
    OptionKind kind;
    std::variant<bool Options::*, int Options::*> field;
    bool saved;                      // written by SaveOptions
    OptionControl control;           // how the options dialog shows it
    int controlId;                   // Radio: the id of the "on" (value 1) button
    int minValue = 0, maxValue = 1;  // a stored number outside reads as the default
};
const std::vector<OptionKey>& OptionTable();

// Value of one key in the record, as stored (flags 0/1).
int OptionValue(const Options& o, const OptionKey& k);
void SetOptionValue(Options& o, const OptionKey& k, int value);

// Suggested size of the options dialog (character units).
inline constexpr double kOptionsFormWidth = 58;
inline constexpr double kOptionsFormHeight = 30.2;
