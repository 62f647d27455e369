#include "data/db_check.h"

#include <sqlite3.h>

#include <cstring>
#include <fstream>
#include <memory>

namespace {

struct CloseDb {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct FinalizeStmt {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};

}  // namespace

bool IsWorkingDatabase(const std::string& path, std::string& problem) {
    // An empty file would open as an empty database: it holds no data.
    char header[16] = {};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(header, sizeof header) || std::memcmp(header, "SQLite format 3", 16) != 0) {
        problem = "not an SQLite database";
        return false;
    }
    in.close();

    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, CloseDb> db(raw);
    if (rc != SQLITE_OK) {
        problem = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc);
        return false;
    }
    sqlite3_stmt* rawStmt = nullptr;
    rc = sqlite3_prepare_v2(db.get(), "PRAGMA integrity_check", -1, &rawStmt, nullptr);
    std::unique_ptr<sqlite3_stmt, FinalizeStmt> stmt(rawStmt);
    if (rc != SQLITE_OK) {
        problem = sqlite3_errmsg(db.get());
        return false;
    }
    rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_ROW) {
        problem = sqlite3_errmsg(db.get());
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
