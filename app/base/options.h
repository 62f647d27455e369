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

// Control ids of the options dialog (form "PO"); the flags' ids are also the
// `controlId`s of their rows in OptionTable.
inline constexpr int kPoHeading = 100;
inline constexpr int kPoAllStations = 105;
inline constexpr int kPoActiveStations = 110;
inline constexpr int kPoCopyIssues = 115;
inline constexpr int kPoAlertDeadline = 120;
inline constexpr int kPoTipsOn = 125;
inline constexpr int kPoUpdate = 130;
inline constexpr int kPoReminder = 135;
inline constexpr int kPoSequence = 140;
inline constexpr int kPoWeekOfMonth = 145;
inline constexpr int kPoEvery = 150;
inline constexpr int kPoWeekday = 155;
inline constexpr int kPoAutoName = 160;
inline constexpr int kPoNameExample = 165;
inline constexpr int kPoWarnOverwrite = 170;
inline constexpr int kPoFormatLabel = 175;
inline constexpr int kPoDateFormat = 180;
inline constexpr int kPoDateExample = 185;
inline constexpr int kPoSlashes = 190;
inline constexpr int kPoMondayStart = 195;
inline constexpr int kPoSave = 200;
inline constexpr int kPoClose = 205;
inline constexpr int kPoHelp = 210;
inline constexpr int kPoGeneralFrame = 215;
inline constexpr int kPoBackupFrame = 220;
inline constexpr int kPoDateFrame = 225;
