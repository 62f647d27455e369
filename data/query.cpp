#include "data/query.h"

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <set>

#include "app/base/text_util.h"

namespace {

struct StmtDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

struct DbDeleter {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using DbPtr = std::unique_ptr<sqlite3, DbDeleter>;

// One open result set: the live statement, and whether a row is current.
struct ResultState {
    StmtPtr stmt;
    bool pending = false;  // slSel fetched a row that slGetRow has not handed out yet
    bool onRow = false;    // a row is current for slFN
    bool done = false;
    bool failed = false;  // a step ended in an error before the last row
};

// The one connection of the process and its open result sets.
struct Connection {
    DbPtr db;
    unsigned long generation = 0;  // counts closings, so stale set numbers are recognised
    std::map<int, ResultState> sets;
    std::string lastError;
    bool damaged = false;  // the open file is known to be damaged
};

Connection& Conn() {
    static Connection conn;
    return conn;
}

void SetError(const std::string& text) {
    Conn().lastError = text;
}

void SetErrorFromDb() {
    sqlite3* db = Conn().db.get();
    if (!db) return SetError("Database is not open");
    // Another program holding the file and a file that may only be read get
    // texts the user can act on; every caller shows slGetError() in its message.
    switch (sqlite3_errcode(db) & 0xff) {
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            Conn().damaged = true;
            return SetError(sqlite3_errmsg(db));
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return SetError(kDatabaseBusyText);
        case SQLITE_READONLY:
            return SetError(kDatabaseReadOnlyText);
        default:
            return SetError(sqlite3_errmsg(db));
    }
}

// A column of the current row as text ("" for NULL); valid until the next step.
std::string_view ColumnView(sqlite3_stmt* stmt, int col) {
    const unsigned char* text = sqlite3_column_text(stmt, col);
    if (!text) return {};
    return {reinterpret_cast<const char*>(text),
            static_cast<size_t>(sqlite3_column_bytes(stmt, col))};
}

std::string ColumnText(sqlite3_stmt* stmt, int col) {
    return std::string(ColumnView(stmt, col));
}

// The statement of a set whose row is current, or null.
sqlite3_stmt* CurrentRow(int setNumber) {
    auto it = Conn().sets.find(setNumber);
    if (it == Conn().sets.end() || !it->second.onRow) return nullptr;
    return it->second.stmt.get();
}

int FindColumn(sqlite3_stmt* stmt, const std::string& name) {
    int count = sqlite3_column_count(stmt);
    for (int i = 0; i < count; ++i) {
        const char* col = sqlite3_column_name(stmt, i);
        if (col && IEquals(col, name)) return i;
    }
    // "Table.Column" finds the column by its bare name.
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) return FindColumn(stmt, name.substr(dot + 1));
    return -1;
}

// Steps a result set once; records errors and the end.
bool StepSet(ResultState& rs) {
    int rc = sqlite3_step(rs.stmt.get());
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) {
        SetErrorFromDb();
        rs.failed = true;
    }
    rs.done = true;
    return false;
}

// Columns of the schema that hold integers; all other columns hold text.
const std::map<std::string, std::set<std::string>>& IntegerColumns() {
    static const std::map<std::string, std::set<std::string>> columns = {
        {"quarter", {"qid", "startdate", "enddate", "qnumber"}},
        {"stations", {"stnid", "qtrid", "rank"}},
        {"issues", {"iid", "iqtr", "sid", "irank"}},
        {"programs", {"pid"}},
        {"master", {"mid", "qtr", "pgm", "station", "freqcheck", "frequency"}},
        {"datetime", {"aid", "mlink", "airdate", "airtime"}},
        {"methods", {"did", "mqtrid", "stnid"}},
    };
    return columns;
}

bool IsIntegerColumn(const std::string& table, const std::string& column) {
    const auto& all = IntegerColumns();
    auto it = all.find(ToLower(Trim(table)));
    return it != all.end() && it->second.count(ToLower(Trim(column))) > 0;
}

// An optional minus and 1 to 18 decimal digits: always fits a 64-bit integer.
bool IsPlainInteger(const std::string& value) {
    size_t i = (!value.empty() && value[0] == '-') ? 1 : 0;
    size_t digits = value.size() - i;
    if (digits == 0 || digits > 18) return false;
    return std::all_of(value.begin() + static_cast<long>(i), value.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

std::string SqlValue(const std::string& table, const std::string& column,
                     const std::string& value) {
    if (IsIntegerColumn(table, column) && IsPlainInteger(value)) {
        // Plain decimal without leading zeros ("-0" and "007" are the numbers 0 and 7).
        return std::to_string(std::stoll(value));
    }
    return SqlQuoted(value);
}

int CompareNoCase(void*, int lengthA, const void* a, int lengthB, const void* b) {
    return CompareIgnoringCase(std::string_view(static_cast<const char*>(a), lengthA),
                               std::string_view(static_cast<const char*>(b), lengthB));
}

// Columns and comparisons declared COLLATE NOCASE (call letters) ignore
// letter case by Unicode's rules on this connection, not only for ASCII: the
// built-in NOCASE is replaced for the connection, the stored schema is not
// touched. No index of the schema uses NOCASE, so no stored order depends on it.
void RegisterCaseBlindCollation(sqlite3* db) {
    sqlite3_create_collation(db, "NOCASE", SQLITE_UTF8, nullptr, CompareNoCase);
}

std::string NumberText(const std::string& text) {
    return std::to_string(Val(text));
}

}  // namespace

int slOpen(const std::string& file, const std::string& modifiers) {
    slClose();
    int flags = SQLITE_OPEN_READWRITE;
    if (modifiers.find_first_of("rR") != std::string::npos)
        flags = SQLITE_OPEN_READONLY;
    else if (modifiers.find_first_of("cC") != std::string::npos)
        flags |= SQLITE_OPEN_CREATE;
    sqlite3* raw = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
    DbPtr db(raw);
    if (rc != SQLITE_OK) {
        SetError(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
        return rc;
    }
    sqlite3_busy_timeout(raw, 2000);
    RegisterCaseBlindCollation(raw);
    Conn().db = std::move(db);
    Conn().lastError.clear();
    Conn().damaged = false;
    return 0;
}

void slClose() {
    Connection& c = Conn();
    c.sets.clear();  // finalizes every statement before the connection closes
    c.db.reset();
    ++c.generation;
}

bool slIsOpen() {
    return Conn().db != nullptr;
}

bool slIsReadOnly() {
    sqlite3* db = Conn().db.get();
    return db && sqlite3_db_readonly(db, "main") == 1;
}

void slMarkDamaged() {
    if (Conn().db) Conn().damaged = true;
}

bool slIsDamaged() {
    return Conn().db && Conn().damaged;
}

bool slErrorIsBusy() {
    return Conn().lastError == kDatabaseBusyText;
}

sqlite3* slHandle() {
    return Conn().db.get();
}

int slGetUnusedSetNumber() {
    int n = 1;
    while (Conn().sets.count(n)) ++n;
    return n;
}

int slSel(const std::string& statement, int setNumber) {
    Connection& c = Conn();
    c.sets.erase(setNumber);
    if (!c.db) {
        SetError("Database is not open");
        return SQLITE_MISUSE;
    }
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(c.db.get(), statement.c_str(), static_cast<int>(statement.size()),
                                &raw, nullptr);
    StmtPtr stmt(raw);
    if (rc != SQLITE_OK || !stmt) {
        if (rc == SQLITE_OK) {
            SetError("No statement to run");
            return SQLITE_MISUSE;
        }
        SetErrorFromDb();
        return rc;
    }
    ResultState rs;
    rs.stmt = std::move(stmt);
    // The first step runs now so that a failing select reports failure here.
    rc = sqlite3_step(rs.stmt.get());
    if (rc == SQLITE_ROW) {
        rs.pending = true;
    } else if (rc == SQLITE_DONE) {
        rs.done = true;
    } else {
        SetErrorFromDb();
        return rc;
    }
    c.sets.emplace(setNumber, std::move(rs));
    return 0;
}

bool slGetRow(int setNumber) {
    auto it = Conn().sets.find(setNumber);
    if (it == Conn().sets.end()) return false;
    ResultState& rs = it->second;
    if (rs.pending) {
        rs.pending = false;
        rs.onRow = true;
        return true;
    }
    if (rs.done) {
        rs.onRow = false;
        return false;
    }
    rs.onRow = StepSet(rs);
    return rs.onRow;
}

std::string slFN(const std::string& column, int setNumber) {
    sqlite3_stmt* stmt = CurrentRow(setNumber);
    if (!stmt) return {};
    int col = FindColumn(stmt, column);
    return col < 0 ? std::string() : ColumnText(stmt, col);
}

void slCloseSet(int setNumber) {
    Conn().sets.erase(setNumber);
}

int slExe(const std::string& statements) {
    Connection& c = Conn();
    if (!c.db) {
        SetError("Database is not open");
        return SQLITE_MISUSE;
    }
    sqlite3* db = c.db.get();
    const bool wasAutocommit = sqlite3_get_autocommit(db) != 0;
    const char* tail = statements.c_str();
    const char* end = tail + statements.size();
    int result = 0;
    while (tail < end) {
        sqlite3_stmt* raw = nullptr;
        const char* next = nullptr;
        int rc = sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &raw, &next);
        StmtPtr stmt(raw);
        if (rc != SQLITE_OK) {
            result = rc;
            break;
        }
        tail = next;
        if (!stmt) continue;  // blank text or a lone ";"
        while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            result = rc;
            break;
        }
    }
    if (result != 0) {
        SetErrorFromDb();
        // A transaction that this text opened is rolled back as a whole, so a
        // failing batch never leaves its first statements saved.
        if (wasAutocommit && sqlite3_get_autocommit(db) == 0) {
            std::string err = c.lastError;
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            SetError(err);
        }
    }
    return result;
}

std::string slBuildInsertOrUpdate(const std::string& table, const std::string& values,
                                  const std::string& columns, const std::string& condition) {
    std::vector<std::string> vals = Split(values, std::string_view("\0", 1));
    std::vector<std::string> cols = Split(columns, ",");
    for (std::string& col : cols) col = Trim(col);
    std::vector<std::string> sqlValues;
    for (size_t i = 0; i < vals.size(); ++i) {
        sqlValues.push_back(SqlValue(table, i < cols.size() ? cols[i] : "", vals[i]));
    }
    if (Trim(condition).empty()) {
        return "INSERT INTO " + table + " (" + Join(cols, ",") + ") VALUES (" +
               Join(sqlValues, ",") + ")";
    }
    std::vector<std::string> sets;
    for (size_t i = 0; i < cols.size(); ++i) {
        // A column without a value in the list is set to NULL.
        sets.push_back(cols[i] + "=" + (i < sqlValues.size() ? sqlValues[i] : "NULL"));
    }
    return "UPDATE " + table + " SET " + Join(sets, ",") + " WHERE " + condition;
}

long long slGetInsertID() {
    sqlite3* db = Conn().db.get();
    return db ? sqlite3_last_insert_rowid(db) : 0;
}

std::string slSelStr(const std::string& statement, const std::string& modifiers) {
    // "Qnnn" names the character (by its code) that separates the values of a row.
    std::string fieldSep = ",";
    size_t q = modifiers.find_first_of("qQ");
    if (q != std::string::npos) {
        int code = static_cast<int>(Val(modifiers.substr(q + 1)));
        if (code > 0 && code < 128) fieldSep = std::string(1, static_cast<char>(code));
    }
    ResultSet rs(statement);
    if (!rs.ok()) return {};
    std::string out;
    bool firstRow = true;
    sqlite3_stmt* stmt = Conn().sets.at(rs.set()).stmt.get();
    while (rs.next()) {
        if (!firstRow) out += "\n";
        firstRow = false;
        int count = sqlite3_column_count(stmt);
        for (int i = 0; i < count; ++i) {
            if (i) out += fieldSep;
            out += ColumnText(stmt, i);
        }
    }
    return out;
}

std::string slGetTableColumnNames(const std::string& table) {
    std::string quoted = "\"";
    for (char ch : table) {
        quoted += ch;
        if (ch == '"') quoted += '"';
    }
    quoted += "\"";
    ResultSet rs("PRAGMA table_info(" + quoted + ")");
    std::vector<std::string> names;
    while (rs.next()) names.push_back(rs["name"]);
    return Join(names, ",");
}

std::string slGetError() {
    return Conn().lastError;
}

std::string NulJoin(const std::vector<std::string>& values) {
    return Join(values, std::string_view("\0", 1));
}

// --- helpers ---

std::string SqlEscape(const std::string& text) {
    return ReplaceAll(text, "'", "''");
}

std::string SqlQuoted(const std::string& text) {
    return "'" + SqlEscape(text) + "'";
}

std::string SelectField(const std::string& table, const std::string& column,
                        const std::string& condition) {
    ResultSet rs("SELECT " + column + " FROM " + table + " WHERE " + condition);
    return rs.next() ? rs[column] : std::string();
}

std::string SelectText(const std::string& table, const std::string& column,
                       const std::string& condition) {
    return slSelStr("SELECT " + column + " FROM " + table + " WHERE " + condition);
}

int SelectNumber(const std::string& table, const std::string& column,
                 const std::string& condition) {
    int64_t v = Val(SelectText(table, column, condition));
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

int CountWhere(const std::string& table, const std::string& condition) {
    ResultSet rs("SELECT COUNT(*) AS ICount FROM " + table + " WHERE " + condition);
    if (!rs.next()) return 0;
    return static_cast<int>(Val(rs["ICount"]));
}

RowId StationIdByCalls(const std::string& calls, const std::string& quarter) {
    ResultSet rs("SELECT StnID FROM Stations WHERE Calls = '" + SqlEscape(calls) +
                 "' AND QtrID = " + NumberText(quarter));
    return rs.next() ? rs.integer(0) : 0;
}

std::string IssueIdList(const std::vector<std::string>& titles, RowId stationId,
                        const std::string& quarter) {
    // Titles that are not found are left out, so the list never holds an empty
    // entry or a doubled separator however many titles are missing.
    std::vector<std::string> ids;
    for (const std::string& title : titles) {
        ResultSet rs("SELECT IID FROM Issues WHERE IIssue = '" + SqlEscape(title) + "' AND SID = " +
                     std::to_string(stationId) + " AND IQtr = " + NumberText(quarter));
        std::string id = rs.next() ? rs["IID"] : std::string();
        if (!id.empty()) ids.push_back(id);
    }
    return Join(ids, "|");
}

void ProgramById(RowId pid, std::string& duration, std::string& title, std::string& description) {
    ResultSet rs("SELECT Duration,Title,PDescription FROM Programs WHERE PID = " +
                 std::to_string(pid));
    if (!rs.next()) return;
    duration = rs["Duration"];
    title = rs["Title"];
    description = rs["PDescription"];
}

// --- ResultSet ---

ResultSet::ResultSet(const std::string& statement)
    : set_(slGetUnusedSetNumber()), ok_(false), connection_(Conn().generation) {
    ok_ = slSel(statement, set_) == 0;
}

// A failed select never took its set number, and a set of a connection that has
// since been closed is gone: in both cases the number may now belong to another set.
ResultSet::~ResultSet() {
    if (ok_ && connection_ == Conn().generation) slCloseSet(set_);
}

bool ResultSet::next() {
    return ok_ && connection_ == Conn().generation && slGetRow(set_);
}

bool ResultSet::complete() const {
    if (!ok_ || connection_ != Conn().generation) return false;
    auto it = Conn().sets.find(set_);
    return it != Conn().sets.end() && it->second.done && !it->second.failed;
}

std::string ResultSet::operator[](const std::string& column) const {
    return connection_ == Conn().generation ? slFN(column, set_) : std::string();
}

// The statement of this set's current row when it has the column, else null.
sqlite3_stmt* ResultSet::row(int column) const {
    if (!ok_ || connection_ != Conn().generation) return nullptr;
    sqlite3_stmt* stmt = CurrentRow(set_);
    return stmt && column >= 0 && column < sqlite3_column_count(stmt) ? stmt : nullptr;
}

long long ResultSet::integer(int column) const {
    sqlite3_stmt* stmt = row(column);
    return stmt ? sqlite3_column_int64(stmt, column) : 0;
}

std::string_view ResultSet::text(int column) const {
    sqlite3_stmt* stmt = row(column);
    return stmt ? ColumnView(stmt, column) : std::string_view();
}

Transaction::Transaction() {
    static unsigned long serial = 0;
    name_ = "tx" + std::to_string(++serial);
    ok_ = slIsOpen() && slExe("SAVEPOINT " + name_) == 0;
    done_ = !ok_;
}

Transaction::~Transaction() {
    Rollback();
}

void Transaction::Rollback() {
    if (done_) return;
    done_ = true;
    // The reason the group failed stays the error to report.
    const std::string error = slGetError();
    slExe("ROLLBACK TO " + name_ + "; RELEASE " + name_);
    SetError(error);
}

bool Transaction::Commit() {
    if (done_) return false;
    if (slExe("RELEASE " + name_) == 0) {
        done_ = true;
        return true;
    }
    Rollback();
    return false;
}

bool ExecAll(const std::vector<std::string>& statements) {
    if (statements.empty()) return true;
    Transaction tx;
    if (!tx.ok()) return false;
    for (const std::string& statement : statements) {
        if (slExe(statement) != 0) {
            tx.Rollback();
            return false;
        }
    }
    return tx.Commit();
}
