// Checks of database files: that a file is a working SQLite database before it
// replaces the program's database, and the checks of the open database made
// at start-up (is the file whole, does it hold every table and column the
// program reads and writes, can it be written now).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_file;

// True when the file starts with the SQLite header, opens read-only and
// "PRAGMA integrity_check" answers "ok". Otherwise false with the problem in
// words. Uses its own connection; the program's connection is not touched.
bool IsWorkingDatabase(const std::string& path, std::string& problem);

enum class DbIntegrity {
    Ok,
    Damaged,  // SQLite's quick check found damage (or the file is no database)
    Busy,     // another program holds the file
};
// PRAGMA quick_check on the open database; `report` gets its first lines when damaged.
DbIntegrity QuickCheckDatabase(std::string& report);

// Tables and columns the program needs that the open database lacks, as
// "Quarter" (a whole table) or "Stations.License" (one column), in the order
// of the layout. Extra tables and columns are fine. `failed` is set when the
// layout could not be read (damaged or busy file).
std::vector<std::string> MissingSchemaItems(bool& failed);

// True for what the upgrade adds to files of earlier versions ("Stations.License",
// "DateTime"): a file lacking only these is upgraded, not refused.
bool IsAddedByUpgrade(const std::string& item);
// MissingSchemaItems of a database file, through a read-only connection of
// its own. `failed` is set when the file cannot be opened or its layout read.
std::vector<std::string> MissingSchemaItemsOfFile(const std::string& path, bool& failed);

// How long a backup or restore waits for another program to finish its write.
inline constexpr int kDatabaseWaitMs = 3000;

// A write lock on a database file held by a connection of its own ("BEGIN
// IMMEDIATE"), so that no other program can change the file while it is
// copied or replaced. Released (rolled back, closed) when it goes.
class DatabaseWriteGuard {
public:
    enum class State {
        Held,       // the lock is held
        Busy,       // another program kept writing for waitMs
        NoDatabase  // the file is missing or no SQLite database: nothing to guard
    };
    DatabaseWriteGuard(const std::string& path, int waitMs);
    ~DatabaseWriteGuard();
    DatabaseWriteGuard(const DatabaseWriteGuard&) = delete;
    DatabaseWriteGuard& operator=(const DatabaseWriteGuard&) = delete;
    State state() const { return state_; }
    void Release();

private:
    sqlite3* db_ = nullptr;
    State state_ = State::NoDatabase;
};

// The database file's bytes as they stand at one moment: a connection of its
// own holds a read transaction for the reader's life (so no other program can
// commit meanwhile), and the bytes are read through that connection's own
// file handle.
class DatabaseFileReader {
public:
    enum class State {
        Ok,
        Busy,    // another program's write kept the file from being read for waitMs
        Failed,  // no SQLite database, or it cannot be read (problem says why)
        Wal,     // in write-ahead-log mode: the file alone is not the database
    };
    DatabaseFileReader(const std::string& path, int waitMs);
    ~DatabaseFileReader();
    DatabaseFileReader(const DatabaseFileReader&) = delete;
    DatabaseFileReader& operator=(const DatabaseFileReader&) = delete;
    State state() const { return state_; }
    const std::string& problem() const { return problem_; }
    uint64_t size() const { return size_; }
    // n bytes at offset; false when they cannot be read.
    bool Read(uint64_t offset, char* into, size_t n) const;
    // PRAGMA integrity_check over the same moment's pages.
    bool Check(std::string& problem) const;

private:
    sqlite3* db_ = nullptr;
    sqlite3_file* file_ = nullptr;
    State state_ = State::Failed;
    std::string problem_;
    uint64_t size_ = 0;
};

enum class SnapshotStatus { Ok, Busy, Failed };
// Copies the database at source into a new file at target through SQLite's
// online backup, in one read transaction, so the copy is the committed state
// of one moment even while another program writes (also in write-ahead-log
// mode). Busy when another
// program's write kept the file from being read for waitMs; Failed with the
// problem in words otherwise. The copy is in rollback-journal mode.
SnapshotStatus SnapshotDatabase(const std::string& source, const std::string& target, int waitMs,
                                std::string& problem);

// True when a write can start now: false with slErrorIsBusy() when another
// program is writing to the file.
bool DatabaseWritableNow();
