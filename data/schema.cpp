#include "data/schema.h"

#include <filesystem>
#include <set>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/prompt.h"
#include "app/base/text_util.h"
#include "data/dates.h"
#include "data/query.h"

namespace {

const char* const kDateTimeTable =
    "CREATE TABLE DateTime (AID INTEGER PRIMARY KEY NOT NULL, "
    "MLink,AirDate,AirTime);";

const std::vector<std::string>& CreateStatements() {
    static const std::vector<std::string> statements = {
        "CREATE TABLE Quarter (QID INTEGER PRIMARY KEY NOT NULL, "
        "StartDate,EndDate,QNumber);",
        "CREATE TABLE Stations (StnID INTEGER PRIMARY KEY NOT NULL, "
        "Calls COLLATE NOCASE,License,QtrID,Rank);",
        "CREATE TABLE Issues (IID INTEGER PRIMARY KEY NOT NULL, "
        "IQtr,SID,IIssue,IDescription,IRank);",
        "CREATE TABLE Programs (PID INTEGER PRIMARY KEY NOT NULL, "
        "Duration,Title,PDescription);",
        "CREATE TABLE Master (MID INTEGER PRIMARY KEY NOT NULL, "
        "AirDates,Qtr,Issue,Pgm,Station,FreqCheck,Frequency);",
        kDateTimeTable,
        "CREATE TABLE Methods (DID INTEGER PRIMARY KEY NOT NULL, "
        "MQtrID,StnID,Method);",
    };
    return statements;
}

struct LookupIndex {
    const char* name;
    const char* statement;
};

// Look-up indexes kept beside the seven tables: one entry's airings, a
// quarter's entries, a station's entries, issues and methods, the stations of
// a quarter. The tables themselves stay exactly as created above, so a copy
// of the program that does not know these indexes opens, checks and writes
// the file as before (SQLite keeps every index up to date on every write, and
// the layout check reads only tables and columns).
//
// Each index holds columns that its queries compare for equality all
// together: the rows then come back in the table's own order, as they did
// without an index (the stations of a quarter, for one, are listed in the
// order their entries were written). None holds text, so no stored order
// depends on the case-blind NOCASE of this connection.
const std::vector<LookupIndex>& LookupIndexes() {
    static const std::vector<LookupIndex> indexes = {
        {"DateTimeByEntry", "CREATE INDEX IF NOT EXISTS DateTimeByEntry ON DateTime (MLink)"},
        {"MasterByQuarter", "CREATE INDEX IF NOT EXISTS MasterByQuarter ON Master (Qtr)"},
        {"MasterByStation", "CREATE INDEX IF NOT EXISTS MasterByStation ON Master (Station, Qtr)"},
        {"IssuesByStation", "CREATE INDEX IF NOT EXISTS IssuesByStation ON Issues (SID, IQtr)"},
        {"StationsByQuarter", "CREATE INDEX IF NOT EXISTS StationsByQuarter ON Stations (QtrID)"},
        {"MethodsByStation",
         "CREATE INDEX IF NOT EXISTS MethodsByStation ON Methods (StnID, MQtrID)"},
    };
    return indexes;
}

void ShowDbError() {
    PromptSimple("Error: " + slGetError(), "DB Error");
}

// Creates the seven tables in one transaction, so a file never holds only some of them.
bool CreateTables() {
    return ExecAll(CreateStatements());
}

bool HasColumn(const std::string& table, const std::string& column) {
    for (const std::string& name : Split(slGetTableColumnNames(table), ",")) {
        if (IEquals(name, column)) return true;
    }
    return false;
}

// Digits only, between 1 and maxDigits of them.
bool AllDigits(const std::string& text, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// One entry of the old air-date text: "M-D-YYYY H:MM" (or with "/"). Returns false
// for anything that is not a real date and time, which is then left out.
bool ParseOldAiring(const std::string& entry, int32_t& day, int32_t& minutes) {
    std::string e = Trim(entry);
    size_t blank = e.find(' ');
    if (blank == std::string::npos) return false;
    std::vector<std::string> date = Split(ReplaceAll(e.substr(0, blank), "/", "-"), "-");
    std::vector<std::string> time = Split(Trim(e.substr(blank + 1)), ":");
    if (date.size() != 3 || time.size() != 2) return false;
    if (!AllDigits(date[0], 2) || !AllDigits(date[1], 2) || !AllDigits(date[2], 4) ||
        date[2].size() != 4 || !AllDigits(time[0], 2) || !AllDigits(time[1], 2)) {
        return false;
    }
    int32_t month = static_cast<int32_t>(Val(date[0]));
    int32_t dom = static_cast<int32_t>(Val(date[1]));
    int32_t year = static_cast<int32_t>(Val(date[2]));
    int32_t hours = static_cast<int32_t>(Val(time[0]));
    int32_t mins = static_cast<int32_t>(Val(time[1]));
    if (year < 1 || dom < 1 || dom > DaysInMonth(month, year) || hours > 23 || mins > 59) {
        return false;
    }
    std::string mode = "MDY";
    day = Date2JulianDate(date[0] + "-" + date[1] + "-" + date[2], mode);
    minutes = hours * 60 + mins;
    return day != 0;
}

// The entries of one AirDates text. The separator is the multiplication sign,
// found either as the single Windows-1252 byte or in its UTF-8 form.
std::vector<std::string> OldAiringEntries(const std::string& airDates) {
    std::string text = ReplaceAll(airDates, "\xC3\x97", "\xD7");
    std::vector<std::string> entries;
    for (const std::string& part : Split(text, "\xD7")) {
        if (!Trim(part).empty()) entries.push_back(part);
    }
    return entries;
}

enum class Conversion { Done, SelectFailed, WriteFailed };

// Writes one DateTime row per old air-date entry. Malformed entries are counted in `skipped`.
Conversion ConvertRows(int& skipped) {
    ResultSet rs("SELECT MID,AirDates FROM Master");
    if (!rs.ok()) return Conversion::SelectFailed;
    while (rs.next()) {
        std::string mid = rs["MID"];
        for (const OldAiring& a : ParseOldAirDates(rs["AirDates"], skipped)) {
            std::string insert = slBuildInsertOrUpdate(
                "DateTime", NulJoin({mid, std::to_string(a.day), std::to_string(a.minutes)}),
                "MLink,AirDate,AirTime", "");
            if (slExe(insert) != 0) return Conversion::WriteFailed;
        }
    }
    return Conversion::Done;
}

void ShowConversionError() {
    PromptOk("Database Conversion Error", "Unable to convert existing database program dates.{f10}",
             "Please notify Kelvora of this issue.{f6}");
}

void ShowSkippedEntries(int skipped) {
    PromptOk("Database Conversion",
             std::to_string(skipped) +
                 " old air date entries could not be read and were not converted.{f10}",
             "Their original text is kept in the database.{f6}");
}

// Runs the conversion inside a savepoint: either every row is written or none.
// Returns false when writing failed and everything was rolled back.
bool RunConversion() {
    Transaction tx;
    int skipped = 0;
    Conversion result = ConvertRows(skipped);
    if (result == Conversion::WriteFailed || !tx.Commit()) {
        tx.Rollback();
        ShowConversionError();
        return false;
    }
    if (result == Conversion::SelectFailed) {
        ShowConversionError();
    } else if (skipped > 0) {
        ShowSkippedEntries(skipped);
    }
    return true;
}

bool HasAnyTable() {
    return !slSelStr("SELECT name FROM sqlite_master WHERE type = 'table' LIMIT 1").empty();
}

void UpgradeDatabase() {
    if (!HasColumn("Stations", "License")) slExe("ALTER TABLE Stations ADD COLUMN License");
    if (slSelStr("Pragma table_info(DateTime)").empty()) {
        // The new table and its converted rows are saved together: when the
        // conversion cannot be written, the next open tries again.
        Transaction tx;
        slExe(kDateTimeTable);
        if (RunConversion()) tx.Commit();
    }
}

}  // namespace

std::vector<OldAiring> ParseOldAirDates(const std::string& airDates, int& skipped) {
    std::vector<OldAiring> airings;
    for (const std::string& entry : OldAiringEntries(airDates)) {
        OldAiring a;
        if (ParseOldAiring(entry, a.day, a.minutes))
            airings.push_back(a);
        else
            ++skipped;
    }
    return airings;
}

void CreateLookupIndexes() {
    if (!slIsOpen() || slIsReadOnly()) return;
    std::set<std::string> present;
    {
        ResultSet rs("SELECT name FROM sqlite_master WHERE type = 'index'");
        while (rs.next()) present.insert(rs["name"]);
    }
    for (const LookupIndex& index : LookupIndexes()) {
        if (present.count(index.name)) continue;
        // A table missing from the file, a full disk, a file that cannot be
        // written: the program works as well without the index, only slower.
        // Another program holding the file would make every further one wait.
        if (slExe(index.statement) != 0 && slErrorIsBusy()) return;
    }
}

bool OpenDatabase() {
    return OpenDatabaseFile(Paths().dataFolder + "VantrelData.db3");
}

bool OpenDatabaseFile(const std::string& path) {
    std::error_code ec;
    bool exists = std::filesystem::exists(FsPath(path), ec);
    if (exists) {
        if (slOpen(path, "") != 0) {
            ShowDbError();
            return false;
        }
        // An empty file (left by an interrupted first start) is set up like a new one.
        if (HasAnyTable()) {
            UpgradeDatabase();
            CreateLookupIndexes();
            return true;
        }
        if (!CreateTables()) {
            ShowDbError();
            return false;
        }
        CreateLookupIndexes();
        return true;
    }
    if (slOpen(path, "C") != 0 || !CreateTables()) {
        ShowDbError();
        return false;
    }
    CreateLookupIndexes();
    return true;
}
