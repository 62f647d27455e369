// Query layer over SQLite: one connection per process, result sets addressed
// by small set numbers, every value read back as text. Integer columns store
// integers and text columns text (storage rule applied per column).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The id of a record (a row id of the database) from the database to the
// forms; 0 means "none".
using RowId = int64_t;

// --- client operations ---
// "C" creates the file, "R" opens it read-only; 0 = ok.
int slOpen(const std::string& file, const std::string& modifiers);
void slClose();
bool slIsOpen();
// True when the open database can only be read ("R", or a file that cannot be written).
bool slIsReadOnly();
// Whether the open database is known to be damaged: marked so by the start-up
// check, or found so by a read. Reopening the file clears it.
void slMarkDamaged();
bool slIsDamaged();
// True when the last error was another program holding the database.
bool slErrorIsBusy();
// The connection itself, for tests that need to act while a statement waits.
sqlite3* slHandle();
// The error texts of a database held by another program and of one that may only be read.
inline constexpr const char* kDatabaseBusyText =
    "The database is busy: another program is using it. Please try again in a moment";
inline constexpr const char* kDatabaseReadOnlyText =
    "The database can only be read (see the message at start-up), so nothing was saved";
int slGetUnusedSetNumber();
int slSel(const std::string& statement, int setNumber);  // 0 when the select ran
bool slGetRow(int setNumber);
std::string slFN(const std::string& column, int setNumber);  // "" for NULL / unknown
void slCloseSet(int setNumber);
// Runs one or more ";"-separated statements. A "Begin;" ... "End" batch runs as
// one transaction: when any statement fails, everything is rolled back.
// Returns 0 on success (callers in the Parts ignore it; new code may check it).
int slExe(const std::string& statements);
// INSERT (condition empty) or UPDATE statement text; values NUL-joined.
std::string slBuildInsertOrUpdate(const std::string& table, const std::string& values,
                                  const std::string& columns, const std::string& condition);
long long slGetInsertID();
// Every selected value as one text: the values of a row joined by "," (by the
// character of code nnn with modifier "Qnnn", e.g. "Q124" for "|"), rows by "\n".
// "" when there is no row or the select fails.
std::string slSelStr(const std::string& statement, const std::string& modifiers = "");
// The table's column names joined by "," ("" for an unknown table).
std::string slGetTableColumnNames(const std::string& table);
std::string slGetError();

// Joins values with the NUL character for slBuildInsertOrUpdate.
std::string NulJoin(const std::vector<std::string>& values);

// --- helpers ---
std::string SqlEscape(const std::string& text);
std::string SqlQuoted(const std::string& text);
std::string SelectField(const std::string& table, const std::string& column,
                        const std::string& condition);
std::string SelectText(const std::string& table, const std::string& column,
                       const std::string& condition);
int SelectNumber(const std::string& table, const std::string& column, const std::string& condition);
int CountWhere(const std::string& table, const std::string& condition);
// The station with these call letters in the quarter; 0 when there is none.
RowId StationIdByCalls(const std::string& calls, const std::string& quarter);
std::string IssueIdList(const std::vector<std::string>& titles, RowId stationId,
                        const std::string& quarter);
// Fills the three values when the program exists; leaves them unchanged otherwise.
void ProgramById(RowId pid, std::string& duration, std::string& title, std::string& description);

// RAII guard for a result set: takes an unused set number, closes it on exit.
class ResultSet {
public:
    explicit ResultSet(const std::string& statement);
    ~ResultSet();
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;
    bool ok() const { return ok_; }
    bool next();
    // True once every row was read: the select ran and next() reached its end
    // without an error. False while rows remain and after a read that failed
    // (a damaged file yields the rows before the damage, then stops).
    bool complete() const;
    std::string operator[](const std::string& column) const;
    // Values of the current row by position (0 = the first selected column),
    // for reads of many rows: no lookup by name and no number turned into
    // text. 0 and "" when there is no current row or no such column; the
    // text stays valid until next() is called.
    long long integer(int column) const;
    std::string_view text(int column) const;
    int set() const { return set_; }

private:
    sqlite3_stmt* row(int column) const;
    int set_;
    bool ok_;
    unsigned long connection_;  // which opening of the connection the set belongs to
};

// Runs the statements as one all-or-nothing group (each statement may end in
// ";"). True when there were none or every one ran; otherwise nothing of them
// stays written and slGetError() tells why.
bool ExecAll(const std::vector<std::string>& statements);

// All-or-nothing group of statements on the open connection. Nests (each one
// is a savepoint); rolled back when it goes out of scope uncommitted, so an
// early return never leaves half a save behind.
class Transaction {
public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    // False when the savepoint could not be opened (no database, database busy).
    bool ok() const { return ok_; }
    // Makes the statements permanent; false (everything rolled back) when that fails.
    bool Commit();
    // Undoes the statements now (the destructor does it too); the error of the
    // statement that failed stays what slGetError() says.
    void Rollback();

private:
    std::string name_;
    bool ok_ = false;
    bool done_ = false;
};
