// Reading a station's as-run log: the CSV or tab-separated export in which an
// automation or traffic system lists everything that aired (date, time,
// title or cart name, length). Bytes in, rows of UTF-8 texts and airings out;
// nothing here needs a window or the database, and no input makes it fail:
// what cannot be read becomes a row with a problem.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Mixed: the file is not UTF-8 as a whole, but some of its lines are; each
// line was read in the encoding it is valid in.
enum class LogEncoding { Utf8, Utf8Bom, Windows1252, Mixed };

// Why a file gives no rows to import, found before or while reading it.
enum class LogTrouble {
    None,
    NotText,       // NUL bytes or the signature of a zip, workbook or other binary file
    Empty,         // nothing but blanks and line breaks
    NoRows,        // column names only
    NoLineBreaks,  // one line far longer than any log record
};

// One record of the log: its cells, the line of the file it starts on, and
// why it cannot be trusted ("" when it can).
struct LogRow {
    int line = 0;
    std::vector<std::string> cells;
    std::string problem;
};

struct AsRunLog {
    LogEncoding encoding = LogEncoding::Utf8;
    char separator = ',';
    bool header = false;       // rows[0] holds the column names
    std::vector<LogRow> rows;  // every non-blank record, the header row included
    size_t columnCount = 0;    // cells of the widest row
    LogTrouble trouble = LogTrouble::None;
};

// Decodes the bytes (UTF-8 with or without byte-order mark, else
// Windows-1252), finds the separator (comma, semicolon or tab), splits the
// records (quoted fields with doubled quotes, LF, CR LF or CR line ends) and
// decides whether the first row holds column names. A binary file or one
// without line breaks is not split at all; trouble says why there are no rows.
AsRunLog ReadAsRunLog(std::string_view bytes);
// The log's trouble, or NoRows while its only row is taken as column names.
LogTrouble TroubleOf(const AsRunLog& log);
// What the dialog tells the user about a file with that trouble ("" for None).
const char* LogTroubleText(LogTrouble trouble);

// The bytes as UTF-8 text, and which encoding they were read in. Control
// characters other than tab and line ends become blanks. Without a byte-order
// mark each line is read as UTF-8 when it is valid UTF-8, else as
// Windows-1252 (logs appended to by two programs mix both); with the mark a
// stray byte that is not part of valid UTF-8 is read as its Windows-1252
// character.
std::string DecodeLogText(std::string_view bytes, LogEncoding& encoding);

// The columns offered for mapping: at most the first 100 (a log has a few
// dozen; a broken file with thousands would only flood the drop-downs).
inline size_t OfferedColumns(const AsRunLog& log) {
    return log.columnCount < 100 ? log.columnCount : 100;
}
// Names of the offered columns for the drop-downs: "Column 1: Air Date" with
// a header row, "Column 1" without.
std::vector<std::string> LogColumnNames(const AsRunLog& log);
// Index of the first data row (1 with a header row, else 0).
inline size_t FirstDataRow(const AsRunLog& log) {
    return log.header && !log.rows.empty() ? 1 : 0;
}

// --- values ---
enum class DateOrder { MonthFirst, DayFirst };  // for dates that do not start with the year

// Day number of a date such as 04/01/2024, 4/1/24, 2024-04-01 or 01-04-2024
// (day first), 0 when the text is not a valid date. A time after the date
// (04/01/2024 12:00:00 AM) is ignored.
int32_t ParseLogDate(std::string_view text, DateOrder order);
// Minutes after midnight of 24-hour HH:MM[:SS[.fff]] or 12-hour h:MM[:SS] AM/PM
// (seconds are dropped); -1 when the text is not a time. A date before the
// time (12/30/1899 06:00:00) is ignored.
int32_t ParseLogTime(std::string_view text);
// Date and time in one text ("2024-04-01 06:00:00", "2024-04-01T06:00",
// "4/1/2024 6:00 AM"); false when either part is missing or invalid.
bool ParseLogDateTime(std::string_view text, DateOrder order, int32_t& day, int32_t& minutes);
// Seconds of a length given as seconds (30, 29.5), MM:SS, :SS, HH:MM:SS or
// HH:MM:SS:FF (frames dropped); -1 when the text is not a length.
int32_t ParseLogLength(std::string_view text);

// --- columns ---
struct ColumnMap {
    int date = -1;
    int time = -1;
    int title = -1;
    int length = -1;    // optional
    int dateTime = -1;  // date and time in one column; replaces date and time
};
// True when the map names a title and either a date-time column or both a
// date and a time column.
bool ColumnMapComplete(const ColumnMap& map);
// Preselects the columns from header names ("Date", "Air Date", "Time",
// "Start", "Title", "Cart", "Description", "Length", "Duration" ...) and,
// for roles no name gave, from what the cells hold.
ColumnMap GuessColumns(const AsRunLog& log);
// Whether dates like 03/04/2024 put the month or the day first: decided by
// values above 12 in the date column, else by the program's date format
// (format code 2 puts the day first).
DateOrder GuessDateOrder(const AsRunLog& log, const ColumnMap& map, int programDateFormat);

// One data row read with a column map: the title and the airing, or why the
// row cannot be used.
struct LogAiring {
    int line = 0;
    std::string title;     // trimmed
    int32_t day = 0;       // day number
    int32_t minutes = -1;  // minutes after midnight
    int32_t seconds = -1;  // length; -1 when the log gives none
    std::string problem;   // "" when the row is usable
};
std::vector<LogAiring> ReadLogAirings(const AsRunLog& log, const ColumnMap& map, DateOrder order);
