// The backup dialog BU (backup and restore modes) and the archive builder
// that the service report reuses.
#pragma once

#include <string>

// Closes the database, writes an archive holding the database file (and the
// settings file after it when includeSettings is on), and reopens the
// database. Returns 0 or the error code of the first failure; with showErrors
// on, a failure is shown as "Backup Error" with its reason. A missing
// database file returns 53 without a message.
int CreateBackupArchive(const std::string& archivePath, bool showErrors, bool includeSettings);

// Modes of the dialog.
inline constexpr int kBackupMode = 1;
inline constexpr int kRestoreMode = 2;
// Opens BU in a mode, modal over parent ("" for none). True when a backup or
// restore succeeded: the caller refreshes what it shows of the database.
bool OpenBackupDialog(int mode, const std::string& parent);

// Control ids of BU (the robot relies on them).
inline constexpr int kBuBackupPicture = 105;
inline constexpr int kBuBackupHeading = 110;
inline constexpr int kBuBackupLabel = 115;
inline constexpr int kBuBackupPath = 120;
inline constexpr int kBuBackupChoose = 125;
inline constexpr int kBuBackup = 130;
inline constexpr int kBuRestoreHeading = 140;
inline constexpr int kBuRestoreLabel = 145;
inline constexpr int kBuRestorePath = 150;
inline constexpr int kBuRestoreChoose = 155;
inline constexpr int kBuRestore = 160;
inline constexpr int kBuRestorePicture = 165;
inline constexpr int kBuCancel = 175;
inline constexpr int kBuHelp = 180;
inline constexpr int kBackupHelpTopic = 110;
inline constexpr int kRestoreHelpTopic = 340;
