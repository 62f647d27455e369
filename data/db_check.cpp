#include "data/db_check.h"

#include <sqlite3.h>

#include <cstring>
#include <functional>
#include <memory>

#include "app/base/fs.h"
#include "app/base/text_util.h"
#include "data/query.h"

namespace {

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct FinalizeStmt {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};

// PRAGMA integrity_check on the connection answers "ok".
bool IntegrityOk(sqlite3* db, std::string& problem) {
    sqlite3_stmt* rawStmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &rawStmt, nullptr);
    std::unique_ptr<sqlite3_stmt, FinalizeStmt> stmt(rawStmt);
    if (rc != SQLITE_OK || sqlite3_step(stmt.get()) != SQLITE_ROW) {
        problem = sqlite3_errmsg(db);
        return false;
    }
    const unsigned char* first = sqlite3_column_text(stmt.get(), 0);
    std::string answer = first ? reinterpret_cast<const char*>(first) : "";
    if (answer != "ok") {
        problem = "damaged database (" + answer + ")";
        return false;
    }
    return true;
}

bool IsBusy(int rc) {
    return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
}

}  // namespace

bool IsWorkingDatabase(const std::string& path, std::string& problem) {
    // An empty file would open as an empty database: it holds no data.
    char header[16] = {};
    File in;
    if (!in.Open(path, File::Mode::Read) || in.Read(header, sizeof header) != sizeof header ||
        std::memcmp(header, "SQLite format 3", 16) != 0) {
        problem = "not an SQLite database";
        return false;
    }
    in.Close();

    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, CloseDb> db(raw);
    if (rc != SQLITE_OK) {
        problem = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
        return false;
    }
    // Pages read through a memory map instead of copied in one by one: the
    // check reads the whole file, which takes about a fifth less time so.
    sqlite3_exec(db.get(), "PRAGMA mmap_size=1073741824", nullptr, nullptr, nullptr);
    return IntegrityOk(db.get(), problem);
}

namespace {

struct TableColumns {
    const char* table;
    std::vector<const char*> columns;
};

// Every table and column the program uses.
const std::vector<TableColumns>& RequiredLayout() {
    static const std::vector<TableColumns> layout = {
        {"Quarter", {"QID", "StartDate", "EndDate", "QNumber"}},
        {"Stations", {"StnID", "Calls", "License", "QtrID", "Rank"}},
        {"Issues", {"IID", "IQtr", "SID", "IIssue", "IDescription", "IRank"}},
        {"Programs", {"PID", "Duration", "Title", "PDescription"}},
        {"Master", {"MID", "AirDates", "Qtr", "Issue", "Pgm", "Station", "FreqCheck", "Frequency"}},
        {"DateTime", {"AID", "MLink", "AirDate", "AirTime"}},
        {"Methods", {"DID", "MQtrID", "StnID", "Method"}},
    };
    return layout;
}

}  // namespace

DbIntegrity QuickCheckDatabase(std::string& report) {
    report.clear();
    ResultSet rs("PRAGMA quick_check(5)");
    if (!rs.ok()) {
        if (slErrorIsBusy()) return DbIntegrity::Busy;
        report = slGetError();
        return DbIntegrity::Damaged;
    }
    std::vector<std::string> lines;
    while (rs.next()) lines.push_back(std::string(rs.text(0)));
    if (lines.size() == 1 && lines[0] == "ok") return DbIntegrity::Ok;
    report = Join(lines, "|");
    if (report.empty()) report = slGetError();
    return DbIntegrity::Damaged;
}

namespace {

// The layout check over a reader of one table's column names (false when
// the layout could not be read).
std::vector<std::string> MissingItems(
    const std::function<bool(const char* table, std::vector<std::string>& names)>& columnsOf,
    bool& failed) {
    failed = false;
    std::vector<std::string> missing;
    for (const TableColumns& t : RequiredLayout()) {
        std::vector<std::string> present;
        if (!columnsOf(t.table, present)) {
            failed = true;
            return missing;
        }
        if (present.empty()) {
            missing.push_back(t.table);
            continue;
        }
        for (const char* column : t.columns) {
            bool found = false;
            for (const std::string& name : present) found = found || IEquals(name, column);
            if (!found) missing.push_back(std::string(t.table) + "." + column);
        }
    }
    return missing;
}

std::string TableInfo(const char* table) {
    return std::string("PRAGMA table_info(\"") + table + "\")";
}

}  // namespace

std::vector<std::string> MissingSchemaItems(bool& failed) {
    return MissingItems(
        [](const char* table, std::vector<std::string>& names) {
            ResultSet rs(TableInfo(table));
            if (!rs.ok()) return false;
            while (rs.next()) names.push_back(rs["name"]);
            return true;
        },
        failed);
}

bool IsAddedByUpgrade(const std::string& item) {
    return item == "Stations.License" || item == "DateTime";
}

std::vector<std::string> MissingSchemaItemsOfFile(const std::string& path, bool& failed) {
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, CloseDb> db(raw);
    if (rc != SQLITE_OK) {
        failed = true;
        return {};
    }
    return MissingItems(
        [&db](const char* table, std::vector<std::string>& names) {
            sqlite3_stmt* rawStmt = nullptr;
            if (sqlite3_prepare_v2(db.get(), TableInfo(table).c_str(), -1, &rawStmt, nullptr) !=
                SQLITE_OK)
                return false;
            std::unique_ptr<sqlite3_stmt, FinalizeStmt> stmt(rawStmt);
            int step;
            while ((step = sqlite3_step(stmt.get())) == SQLITE_ROW) {
                const unsigned char* name = sqlite3_column_text(stmt.get(), 1);
                names.push_back(name ? reinterpret_cast<const char*>(name) : "");
            }
            return step == SQLITE_DONE;
        },
        failed);
}

DatabaseWriteGuard::DatabaseWriteGuard(const std::string& path, int waitMs) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        Release();
        return;
    }
    sqlite3_busy_timeout(db_, waitMs);
    // The header is read by the first statement: a file that is no database
    // fails here rather than with the lock.
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) {
        state_ = State::Held;
        return;
    }
    Release();
    state_ = IsBusy(rc) ? State::Busy : State::NoDatabase;
}

DatabaseWriteGuard::~DatabaseWriteGuard() {
    Release();
}

void DatabaseWriteGuard::Release() {
    if (!db_) return;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

DatabaseFileReader::DatabaseFileReader(const std::string& path, int waitMs) {
    // Opened for writing where it can be, so that a journal another program
    // left behind is rolled back before anything is read.
    int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr);
    }
    if (rc != SQLITE_OK) {
        problem_ = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        return;
    }
    sqlite3_busy_timeout(db_, waitMs);
    sqlite3_exec(db_, "PRAGMA mmap_size=1073741824", nullptr, nullptr, nullptr);
    rc = sqlite3_exec(db_, "BEGIN; SELECT COUNT(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        problem_ = sqlite3_errmsg(db_);
        state_ = IsBusy(rc) ? State::Busy : State::Failed;
        return;
    }
    std::string mode;
    sqlite3_exec(
        db_, "PRAGMA journal_mode",
        [](void* out, int, char** values, char**) {
            *static_cast<std::string*>(out) = values[0] ? values[0] : "";
            return 0;
        },
        &mode, nullptr);
    if (IEquals(mode, "wal")) {
        state_ = State::Wal;
        return;
    }
    sqlite3_int64 size = 0;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file_) != SQLITE_OK ||
        !file_ || !file_->pMethods || file_->pMethods->xFileSize(file_, &size) != SQLITE_OK) {
        problem_ = "the file cannot be read";
        return;
    }
    size_ = static_cast<uint64_t>(size);
    state_ = State::Ok;
}

DatabaseFileReader::~DatabaseFileReader() {
    if (!db_) return;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
}

bool DatabaseFileReader::Read(uint64_t offset, char* into, size_t n) const {
    return state_ == State::Ok && offset + n <= size_ &&
           file_->pMethods->xRead(file_, into, static_cast<int>(n),
                                  static_cast<sqlite3_int64>(offset)) == SQLITE_OK;
}

bool DatabaseFileReader::Check(std::string& problem) const {
    return state_ == State::Ok && IntegrityOk(db_, problem);
}

SnapshotStatus SnapshotDatabase(const std::string& source, const std::string& target, int waitMs,
                                std::string& problem) {
    sqlite3* rawSource = nullptr;
    int rc = sqlite3_open_v2(source.c_str(), &rawSource, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, CloseDb> from(rawSource);
    if (rc != SQLITE_OK) {
        problem = rawSource ? sqlite3_errmsg(rawSource) : sqlite3_errstr(rc);
        return SnapshotStatus::Failed;
    }
    sqlite3_busy_timeout(from.get(), waitMs);
    sqlite3* rawTarget = nullptr;
    rc = sqlite3_open_v2(target.c_str(), &rawTarget, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                         nullptr);
    std::unique_ptr<sqlite3, CloseDb> to(rawTarget);
    if (rc != SQLITE_OK) {
        problem = rawTarget ? sqlite3_errmsg(rawTarget) : sqlite3_errstr(rc);
        return SnapshotStatus::Failed;
    }
    // The copy is a file of its own: no journal to leave behind.
    sqlite3_exec(to.get(), "PRAGMA journal_mode=OFF", nullptr, nullptr, nullptr);
    // One read transaction over the whole copy: a writer that commits
    // meanwhile waits for it (and a copy started in the middle of a commit
    // waits for the commit), so every page comes from the same moment.
    rc = sqlite3_exec(from.get(), "BEGIN; SELECT COUNT(*) FROM sqlite_schema", nullptr, nullptr,
                      nullptr);
    if (rc != SQLITE_OK) {
        problem = sqlite3_errmsg(from.get());
        return IsBusy(rc) ? SnapshotStatus::Busy : SnapshotStatus::Failed;
    }
    sqlite3_backup* backup = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!backup) {
        problem = sqlite3_errmsg(to.get());
        return SnapshotStatus::Failed;
    }
    rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    sqlite3_exec(from.get(), "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_DONE) {
        problem = sqlite3_errstr(rc);
        return IsBusy(rc) ? SnapshotStatus::Busy : SnapshotStatus::Failed;
    }
    // The copy of a file in write-ahead-log mode says so in its header: made
    // a file that holds everything itself.
    if (sqlite3_exec(to.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        problem = sqlite3_errmsg(to.get());
        return SnapshotStatus::Failed;
    }
    return SnapshotStatus::Ok;
}

bool DatabaseWritableNow() {
    if (slExe("BEGIN IMMEDIATE") != 0) return false;
    slExe("ROLLBACK");
    return true;
}
