#include "services/asrun_log.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "app/base/text_util.h"
#include "data/dates.h"

namespace {

// --- decoding ---

// Windows-1252 characters 0x80 to 0x9F; the five unassigned codes become U+FFFD.
constexpr std::array<uint16_t, 32> kCp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void AppendCp1252(std::string& out, unsigned char c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0xA0) {
        AppendUtf8(out, kCp1252High[c - 0x80]);
    } else {
        AppendUtf8(out, c);
    }
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// --- records ---

bool RowIsBlank(const LogRow& row) {
    for (const std::string& cell : row.cells)
        if (!TrimView(cell).empty()) return false;
    return true;
}

enum class SplitEnd {
    Done,       // the text is read (or the one record asked for)
    OpenAtEnd,  // a quoted field over lines never closed: read the rest line by line
    BadSpan,    // a quoted field over lines closed in the middle of a field: read
                // that record as one line
};

// Splits text from pos into records. With multiline, a quoted field may hold
// line breaks (they become blanks), but only when its closing quote ends the
// field; otherwise, or when it is still open at the end of the text, pos and
// line are left at the start of that record and the caller reads it (or the
// rest) line by line. Without multiline, a quote still open at the end of a
// line ends the field there and the row is marked. oneRecord stops after one.
SplitEnd SplitRecords(std::string_view text, char sep, bool multiline, size_t& pos, int& line,
                      std::vector<LogRow>& out, bool oneRecord = false) {
    const size_t n = text.size();
    size_t i = pos;
    while (i < n) {
        const size_t recordStart = i;
        const int recordLine = line;
        LogRow row;
        row.line = line;
        std::string field;
        bool inQuotes = false;
        bool spanned = false;  // the open quoted field holds a line break
        bool open = false;     // a quoted field reached the end of the text
        while (i < n) {
            const char c = text[i];
            if (inQuotes) {
                if (c == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    inQuotes = false;
                    ++i;
                    if (spanned) {
                        size_t k = i;
                        while (k < n && IsBlank(text[k]) && text[k] != sep) ++k;
                        if (k < n && text[k] != sep && text[k] != '\r' && text[k] != '\n') {
                            pos = recordStart;
                            line = recordLine;
                            return SplitEnd::BadSpan;
                        }
                    }
                    spanned = false;
                    continue;
                }
                if (c != '\r' && c != '\n') {
                    field += c;
                    ++i;
                    continue;
                }
                if (multiline) {
                    spanned = true;
                    field += ' ';
                    i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
                    ++line;
                    continue;
                }
                row.problem = "unclosed quote";
                inQuotes = false;  // the line end below ends the record
            }
            if (c == sep) {
                row.cells.push_back(std::move(field));
                field.clear();
                ++i;
                continue;
            }
            if (c == '\r' || c == '\n') {
                i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
                ++line;
                break;
            }
            if (c == '"' && TrimView(field).empty()) {
                field.clear();  // blanks before an opening quote
                inQuotes = true;
                ++i;
                continue;
            }
            field += c;
            ++i;
        }
        if (inQuotes) {
            if (multiline) {
                open = true;
            } else {
                row.problem = "unclosed quote";
            }
        }
        if (open) {
            pos = recordStart;
            line = recordLine;
            return SplitEnd::OpenAtEnd;
        }
        row.cells.push_back(std::move(field));
        if (!RowIsBlank(row)) out.push_back(std::move(row));
        if (oneRecord) {
            pos = i;
            return SplitEnd::Done;
        }
    }
    pos = n;
    return SplitEnd::Done;
}

// Separator counts outside quotes in one line.
size_t CountOutsideQuotes(std::string_view line, char sep) {
    size_t count = 0;
    bool inQuotes = false;
    for (char c : line) {
        if (c == '"') inQuotes = !inQuotes;
        if (c == sep && !inQuotes) ++count;
    }
    return count;
}

// The separator that splits the first lines most consistently: the one whose
// most frequent per-line count (above 0) is shared by the most lines.
char DetectSeparator(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size() && lines.size() < 50) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view l = text.substr(start, end - start);
        if (!TrimView(l).empty()) lines.push_back(l);
        start = end + 1;
    }
    char best = ',';
    size_t bestLines = 0, bestCount = 0;
    for (char sep : {',', ';', '\t'}) {
        std::vector<size_t> counts;
        for (std::string_view l : lines) counts.push_back(CountOutsideQuotes(l, sep));
        size_t modeCount = 0, modeLines = 0;
        for (size_t c : counts) {
            if (c == 0) continue;
            const size_t same = static_cast<size_t>(std::count(counts.begin(), counts.end(), c));
            if (same > modeLines || (same == modeLines && c > modeCount)) {
                modeLines = same;
                modeCount = c;
            }
        }
        if (modeLines > bestLines || (modeLines == bestLines && modeCount > bestCount)) {
            best = sep;
            bestLines = modeLines;
            bestCount = modeCount;
        }
    }
    return best;
}

// Header names are compared by their letters and digits, in lower case.
std::string NameKey(std::string_view name) {
    std::string key;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u) && u < 0x80) key += static_cast<char>(std::tolower(u));
    }
    return key;
}

// Header names that preselect a column, best first within each role.
const std::vector<std::string>& DateTimeNames() {
    static const std::vector<std::string> names = {"datetime",      "airdatetime", "dateandtime",
                                                   "startdatetime", "timestamp",   "airedat"};
    return names;
}
const std::vector<std::string>& DateNames() {
    static const std::vector<std::string> names = {"date",    "airdate", "aired",
                                                   "logdate", "day",     "broadcastdate"};
    return names;
}
const std::vector<std::string>& TimeNames() {
    static const std::vector<std::string> names = {"time",          "start",      "starttime",
                                                   "airtime",       "actualtime", "actualstart",
                                                   "scheduledtime", "airedtime",  "ontime"};
    return names;
}
const std::vector<std::string>& TitleNames() {
    static const std::vector<std::string> names = {
        "title",    "programtitle", "program", "description", "desc",  "name", "cart",
        "cartname", "cartnumber",   "cut",     "spot",        "event", "item"};
    return names;
}
const std::vector<std::string>& LengthNames() {
    static const std::vector<std::string> names = {"length", "duration",     "len",
                                                   "dur",    "actuallength", "runtime"};
    return names;
}

bool IsKnownName(const std::string& key) {
    for (const auto* list :
         {&DateTimeNames(), &DateNames(), &TimeNames(), &TitleNames(), &LengthNames()})
        if (std::find(list->begin(), list->end(), key) != list->end()) return true;
    return false;
}

bool LooksLikeValue(std::string_view cell) {
    int32_t day = 0, minutes = 0;
    return ParseLogDate(cell, DateOrder::MonthFirst) > 0 || ParseLogTime(cell) >= 0 ||
           ParseLogDateTime(cell, DateOrder::MonthFirst, day, minutes);
}

// The first row holds names when one of them is a known column name, or when
// none of its cells is a date or time while the next row has one.
bool DetectHeader(const std::vector<LogRow>& rows) {
    if (rows.empty()) return false;
    for (const std::string& cell : rows[0].cells)
        if (IsKnownName(NameKey(cell))) return true;
    if (rows.size() < 2) return false;
    for (const std::string& cell : rows[0].cells)
        if (LooksLikeValue(cell)) return false;
    for (const std::string& cell : rows[1].cells)
        if (LooksLikeValue(cell)) return true;
    return false;
}

// --- numbers in texts ---

// Reads up to maxDigits digits at s[i]; false when there is none.
bool ReadNumber(std::string_view s, size_t& i, int maxDigits, int32_t& value, int& digits) {
    value = 0;
    digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (digits == maxDigits) return false;
        value = value * 10 + (s[i] - '0');
        ++digits;
        ++i;
    }
    return digits > 0;
}

int32_t ValidDay(int32_t year, int32_t month, int32_t day) {
    if (year < 1900 || year > 2199 || month < 1 || month > 12) return 0;
    if (day < 1 || day > DaysInMonth(month, year)) return 0;
    return Mdy2JulianDate(month, day, year);
}

// Splits "date time" at the first blank or at a "T" between them.
bool SplitDateTime(std::string_view text, std::string_view& date, std::string_view& time) {
    text = TrimView(text);
    size_t cut = text.find(' ');
    size_t skip = 1;
    if (cut == std::string_view::npos) {
        cut = text.find('T');
        if (cut == std::string_view::npos || cut == 0) return false;
    }
    date = text.substr(0, cut);
    time = TrimView(text.substr(cut + skip));
    return !date.empty() && !time.empty();
}

// The three numbers of a date text and whether the first one has four digits.
bool DateFields(std::string_view text, int32_t f[3], int digits[3]) {
    size_t i = 0;
    char sep = 0;
    for (int k = 0; k < 3; ++k) {
        if (!ReadNumber(text, i, 4, f[k], digits[k])) return false;
        if (k < 2) {
            if (i >= text.size()) return false;
            const char c = text[i];
            if (c != '/' && c != '-' && c != '.') return false;
            if (sep != 0 && c != sep) return false;
            sep = c;
            ++i;
        }
    }
    return i == text.size();
}

int32_t FullYear(int32_t year, int digits) {
    if (digits == 4) return year;
    if (digits == 2 || digits == 1) return year < 70 ? 2000 + year : 1900 + year;
    return 0;
}

int32_t ParseDateOnly(std::string_view text, DateOrder order) {
    int32_t f[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    if (!DateFields(text, f, digits)) return 0;
    if (digits[0] == 4) return digits[1] <= 2 && digits[2] <= 2 ? ValidDay(f[0], f[1], f[2]) : 0;
    if (digits[0] > 2 || digits[1] > 2 || (digits[2] != 2 && digits[2] != 4)) return 0;
    const int32_t year = FullYear(f[2], digits[2]);
    return order == DateOrder::DayFirst ? ValidDay(year, f[1], f[0]) : ValidDay(year, f[0], f[1]);
}

int32_t ParseTimeOnly(std::string_view text) {
    std::string lower;
    for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string_view s = TrimView(lower);
    // 12-hour suffix: "am", "pm", "a.m.", "p.m.", "a", "p".
    int half = 0;  // 1 am, 2 pm
    for (std::string_view suffix : {"a.m.", "p.m.", "am", "pm", "a", "p"}) {
        if (s.size() > suffix.size() && s.substr(s.size() - suffix.size()) == suffix) {
            half = suffix[0] == 'a' ? 1 : 2;
            s = TrimView(s.substr(0, s.size() - suffix.size()));
            break;
        }
    }
    size_t i = 0;
    int32_t h = 0, m = 0, sec = 0;
    int digits = 0;
    if (!ReadNumber(s, i, 2, h, digits)) return -1;
    if (i >= s.size() || s[i] != ':') return -1;
    ++i;
    if (!ReadNumber(s, i, 2, m, digits) || digits != 2) return -1;
    if (i < s.size() && s[i] == ':') {
        ++i;
        if (!ReadNumber(s, i, 2, sec, digits) || digits != 2) return -1;
        if (i < s.size() && (s[i] == '.' || s[i] == ',')) {  // fractions of a second
            ++i;
            int32_t frac = 0;
            if (!ReadNumber(s, i, 9, frac, digits)) return -1;
        }
    }
    if (i != s.size() || m > 59 || sec > 59) return -1;
    if (half == 0) return h > 23 ? -1 : h * 60 + m;
    if (h > 12) return -1;
    if (h == 12) h = 0;
    return (half == 2 ? h + 12 : h) * 60 + m;
}

// How many of the sampled data cells of a column satisfy a test.
template <typename Test>
size_t CountCells(const AsRunLog& log, size_t column, size_t sample, Test test) {
    size_t hits = 0;
    for (size_t r = FirstDataRow(log), taken = 0; r < log.rows.size() && taken < sample;
         ++r, ++taken) {
        const auto& cells = log.rows[r].cells;
        if (column < cells.size() && test(std::string_view(cells[column]))) ++hits;
    }
    return hits;
}

std::string CleanTitle(std::string_view text) {
    return std::string(TrimView(text));
}

}  // namespace

std::string DecodeLogText(std::string_view bytes, LogEncoding& encoding) {
    const bool bom = bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
                     static_cast<unsigned char>(bytes[1]) == 0xBB &&
                     static_cast<unsigned char>(bytes[2]) == 0xBF;
    if (bom) bytes.remove_prefix(3);
    const bool allUtf8 = bom || IsValidUtf8(bytes);
    encoding = bom ? LogEncoding::Utf8Bom : allUtf8 ? LogEncoding::Utf8 : LogEncoding::Windows1252;
    bool utf8Lines = false;  // a line with UTF-8 beyond ASCII in a file that is not UTF-8
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    bool utf8 = allUtf8;
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (!allUtf8 && (i == 0 || bytes[i - 1] == '\n' || bytes[i - 1] == '\r')) {
            // A new line of a file that is not UTF-8 as a whole: its own encoding.
            size_t end = bytes.find_first_of("\r\n", i);
            if (end == std::string_view::npos) end = bytes.size();
            const std::string_view line = bytes.substr(i, end - i);
            utf8 = IsValidUtf8(line);
            if (utf8 && std::any_of(line.begin(), line.end(),
                                    [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; }))
                utf8Lines = true;
        }
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') {
            out += ' ';
            ++i;
            continue;
        }
        // A byte that starts no well-formed UTF-8 character (or any byte
        // beyond ASCII in a Windows-1252 line) is a Windows-1252 character.
        size_t len = c < 0x80 ? 1 : 0;
        if (utf8) DecodeUtf8(bytes, i, len);
        if (len == 0) {
            AppendCp1252(out, c);
            ++i;
        } else {
            out.append(bytes.substr(i, len));
            i += len;
        }
    }
    if (utf8Lines) encoding = LogEncoding::Mixed;
    return out;
}

namespace {

// Beginnings of files that are no text whatever their later bytes hold.
bool HasBinarySignature(std::string_view bytes) {
    static constexpr std::string_view kSignatures[] = {
        std::string_view("PK\x03\x04", 4),                        // zip: xlsx, ods, docx
        std::string_view("PK\x05\x06", 4),                        // empty zip
        std::string_view("PK\x07\x08", 4),                        // spanned zip
        std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8),  // xls, doc
        std::string_view("%PDF-", 5),
        std::string_view("\x1F\x8B", 2),  // gzip
        std::string_view("Rar!\x1A\x07", 6),
        std::string_view("7z\xBC\xAF\x27\x1C", 6),
        std::string_view("\x89PNG", 4),
        std::string_view("\xFF\xD8\xFF", 3),  // jpeg
        std::string_view("GIF8", 4),
        std::string_view("SQLite format 3\0", 16),
    };
    for (std::string_view sig : kSignatures)
        if (bytes.substr(0, sig.size()) == sig) return true;
    return false;
}

// Longer than any record of a log: a file of one line this long is no log.
constexpr size_t kLongestLine = 64 * 1024;

}  // namespace

LogTrouble TroubleOf(const AsRunLog& log) {
    if (log.trouble == LogTrouble::None && log.header && log.rows.size() == 1)
        return LogTrouble::NoRows;
    return log.trouble;
}

const char* LogTroubleText(LogTrouble trouble) {
    switch (trouble) {
        case LogTrouble::NotText:
            return "This file is not a text log: save it as CSV from your spreadsheet program.";
        case LogTrouble::Empty:
            return "This file is empty: it holds no rows to import.";
        case LogTrouble::NoRows:
            return "This log has column names but no rows: there is nothing to import.";
        case LogTrouble::NoLineBreaks:
            return "This file has no line breaks, so it holds no rows of a log: export the log "
                   "again with one airing per line.";
        case LogTrouble::None:
            break;
    }
    return "";
}

AsRunLog ReadAsRunLog(std::string_view bytes) {
    AsRunLog log;
    if (bytes.find('\0') != std::string_view::npos || HasBinarySignature(bytes)) {
        log.trouble = LogTrouble::NotText;
        return log;
    }
    // One line (a line end at the very end aside) longer than any record.
    const size_t lineEnd = std::min(bytes.find_first_of("\r\n"), bytes.size());
    if (lineEnd > kLongestLine &&
        bytes.find_first_not_of("\r\n", lineEnd) == std::string_view::npos) {
        log.trouble = LogTrouble::NoLineBreaks;
        return log;
    }
    const std::string text = DecodeLogText(bytes, log.encoding);
    log.separator = DetectSeparator(text);
    size_t pos = 0;
    int line = 1;
    bool multiline = true;
    while (pos < text.size()) {
        const SplitEnd result = SplitRecords(text, log.separator, multiline, pos, line, log.rows);
        if (result == SplitEnd::Done) break;
        if (result == SplitEnd::OpenAtEnd) {
            multiline = false;  // a quote left open to the end: the rest line by line
        } else {
            SplitRecords(text, log.separator, false, pos, line, log.rows, true);
        }
    }
    for (const LogRow& row : log.rows)
        log.columnCount = std::max(log.columnCount, row.cells.size());
    log.header = DetectHeader(log.rows);
    if (log.rows.empty()) log.trouble = LogTrouble::Empty;
    return log;
}

std::vector<std::string> LogColumnNames(const AsRunLog& log) {
    std::vector<std::string> names;
    for (size_t c = 0; c < OfferedColumns(log); ++c) {
        std::string name = "Column " + std::to_string(c + 1);
        if (log.header && !log.rows.empty() && c < log.rows[0].cells.size()) {
            const std::string_view cell = TrimView(log.rows[0].cells[c]);
            if (!cell.empty()) name += ": " + std::string(cell);
        }
        names.push_back(name);
    }
    return names;
}

int32_t ParseLogDate(std::string_view text, DateOrder order) {
    text = TrimView(text);
    const int32_t day = ParseDateOnly(text, order);
    if (day > 0) return day;
    std::string_view date, time;
    if (SplitDateTime(text, date, time) && ParseTimeOnly(time) >= 0)
        return ParseDateOnly(date, order);
    return 0;
}

int32_t ParseLogTime(std::string_view text) {
    text = TrimView(text);
    const int32_t minutes = ParseTimeOnly(text);
    if (minutes >= 0) return minutes;
    // A date before the time, as spreadsheets write a time of day (12/30/1899 06:00:00).
    std::string_view date, time;
    int32_t f[3];
    int digits[3];
    if (SplitDateTime(text, date, time) && DateFields(date, f, digits)) return ParseTimeOnly(time);
    return -1;
}

bool ParseLogDateTime(std::string_view text, DateOrder order, int32_t& day, int32_t& minutes) {
    std::string_view date, time;
    if (!SplitDateTime(text, date, time)) return false;
    const int32_t d = ParseDateOnly(date, order);
    const int32_t m = ParseTimeOnly(time);
    if (d <= 0 || m < 0) return false;
    day = d;
    minutes = m;
    return true;
}

int32_t ParseLogLength(std::string_view text) {
    std::string_view s = TrimView(text);
    if (s.empty()) return -1;
    if (s.find(':') == std::string_view::npos) {
        // Plain seconds, with an optional fraction rounded to the nearest second.
        size_t i = 0;
        int32_t whole = 0, frac = 0;
        int digits = 0, fracDigits = 0;
        if (!ReadNumber(s, i, 6, whole, digits)) return -1;
        if (i < s.size() && s[i] == '.') {
            ++i;
            if (!ReadNumber(s, i, 6, frac, fracDigits)) return -1;
        }
        if (i != s.size()) return -1;
        const bool roundUp = fracDigits > 0 && s[s.find('.') + 1] >= '5';
        return whole + (roundUp ? 1 : 0);
    }
    // Up to four parts: [HH:]MM:SS[:FF], a part may be empty only at the start (":30").
    int32_t parts[4] = {0, 0, 0, 0};
    int count = 0;
    size_t i = 0;
    while (true) {
        if (count == 4) return -1;
        int32_t v = 0;
        int digits = 0;
        const bool got = ReadNumber(s, i, 3, v, digits);
        if (!got && !(count == 0 && i < s.size() && s[i] == ':')) return -1;
        parts[count++] = v;
        if (i < s.size() && (s[i] == '.' || s[i] == ',')) {  // fraction of the seconds
            ++i;
            int32_t frac = 0;
            if (!ReadNumber(s, i, 9, frac, digits)) return -1;
            if (i != s.size()) return -1;
            break;
        }
        if (i == s.size()) break;
        if (s[i] != ':') return -1;
        ++i;
    }
    int32_t h = 0, m = 0, sec = 0;
    if (count == 2) {
        m = parts[0];
        sec = parts[1];
    } else if (count >= 3) {  // the fourth part holds frames
        h = parts[0];
        m = parts[1];
        sec = parts[2];
        if (m > 59) return -1;
    } else {
        return -1;
    }
    if (sec > 59 || h > 23) return -1;
    return h * 3600 + m * 60 + sec;
}

bool ColumnMapComplete(const ColumnMap& map) {
    return map.title >= 0 && (map.dateTime >= 0 || (map.date >= 0 && map.time >= 0));
}

ColumnMap GuessColumns(const AsRunLog& log) {
    ColumnMap map;
    std::vector<bool> used(OfferedColumns(log), false);
    const auto byName = [&](const std::vector<std::string>& names) {
        if (!log.header || log.rows.empty()) return -1;
        for (const std::string& name : names) {
            for (size_t c = 0; c < log.rows[0].cells.size() && c < used.size(); ++c) {
                if (!used[c] && NameKey(log.rows[0].cells[c]) == name) {
                    used[c] = true;
                    return static_cast<int>(c);
                }
            }
        }
        return -1;
    };
    map.dateTime = byName(DateTimeNames());
    map.date = byName(DateNames());
    map.time = byName(TimeNames());
    map.title = byName(TitleNames());
    map.length = byName(LengthNames());

    // Roles no name gave: the column whose sampled cells most often read as such.
    constexpr size_t kSample = 200;
    const size_t rows = std::min(kSample, log.rows.size() - FirstDataRow(log));
    const auto best = [&](auto test) {
        int found = -1;
        size_t most = 0;
        for (size_t c = 0; c < used.size(); ++c) {
            if (used[c]) continue;
            const size_t hits = CountCells(log, c, kSample, test);
            if (hits * 2 > rows && hits > most) {
                most = hits;
                found = static_cast<int>(c);
            }
        }
        if (found >= 0) used[found] = true;
        return found;
    };
    const auto isDateTime = [](std::string_view s) {
        int32_t d = 0, m = 0;
        return ParseLogDateTime(s, DateOrder::MonthFirst, d, m) ||
               ParseLogDateTime(s, DateOrder::DayFirst, d, m);
    };
    const auto isDate = [](std::string_view s) {
        return ParseDateOnly(TrimView(s), DateOrder::MonthFirst) > 0 ||
               ParseDateOnly(TrimView(s), DateOrder::DayFirst) > 0;
    };
    const auto isTime = [](std::string_view s) { return ParseTimeOnly(TrimView(s)) >= 0; };
    const auto isLength = [](std::string_view s) {
        return s.find(':') != std::string_view::npos && ParseLogLength(s) >= 0;
    };
    // A "Date" column that holds the time as well serves as the date-time column.
    if (map.dateTime < 0 && map.date >= 0 && map.time < 0 &&
        CountCells(log, map.date, kSample, isDateTime) * 2 > rows) {
        map.dateTime = map.date;
        map.date = -1;
    }
    if (map.dateTime < 0 && map.date < 0) {
        map.dateTime = best(isDateTime);
        if (map.dateTime < 0) map.date = best(isDate);
    }
    if (map.dateTime < 0 && map.time < 0) map.time = best(isTime);
    if (map.length < 0) map.length = best(isLength);
    if (map.title < 0) {
        // The column with the most letters: titles are longer than cart numbers and categories.
        size_t most = 0;
        for (size_t c = 0; c < used.size(); ++c) {
            if (used[c]) continue;
            size_t letters = 0;
            CountCells(log, c, kSample, [&](std::string_view s) {
                letters += static_cast<size_t>(std::count_if(s.begin(), s.end(), [](char ch) {
                    const unsigned char u = static_cast<unsigned char>(ch);
                    return std::isalpha(u) || u >= 0x80;
                }));
                return false;
            });
            if (letters > most) {
                most = letters;
                map.title = static_cast<int>(c);
            }
        }
    }
    if (map.dateTime >= 0) {
        // One date-time column stands for both.
        map.date = -1;
        map.time = -1;
    }
    return map;
}

DateOrder GuessDateOrder(const AsRunLog& log, const ColumnMap& map, int programDateFormat) {
    const int column = map.dateTime >= 0 ? map.dateTime : map.date;
    bool monthFirst = false, dayFirst = false;
    if (column >= 0) {
        for (size_t r = FirstDataRow(log); r < log.rows.size(); ++r) {
            const auto& cells = log.rows[r].cells;
            if (static_cast<size_t>(column) >= cells.size()) continue;
            std::string_view text = TrimView(cells[column]);
            std::string_view date, time;
            if (SplitDateTime(text, date, time)) text = date;
            int32_t f[3];
            int digits[3];
            if (!DateFields(text, f, digits) || digits[0] == 4) continue;
            if (f[0] > 12 && f[1] <= 12) dayFirst = true;
            if (f[1] > 12 && f[0] <= 12) monthFirst = true;
            if (monthFirst && dayFirst) break;
        }
    }
    if (dayFirst && !monthFirst) return DateOrder::DayFirst;
    if (monthFirst) return DateOrder::MonthFirst;
    return programDateFormat == 2 ? DateOrder::DayFirst : DateOrder::MonthFirst;
}

std::vector<LogAiring> ReadLogAirings(const AsRunLog& log, const ColumnMap& map, DateOrder order) {
    std::vector<LogAiring> out;
    if (!ColumnMapComplete(map)) return out;
    out.reserve(log.rows.size());
    const auto cell = [](const LogRow& row, int column, bool& missing) -> std::string_view {
        if (column < 0) return {};
        if (static_cast<size_t>(column) >= row.cells.size()) {
            missing = true;
            return {};
        }
        return row.cells[column];
    };
    for (size_t r = FirstDataRow(log); r < log.rows.size(); ++r) {
        const LogRow& row = log.rows[r];
        LogAiring a;
        a.line = row.line;
        bool missing = false;
        a.title = CleanTitle(cell(row, map.title, missing));
        if (!row.problem.empty()) {
            a.problem = row.problem;
        } else if (map.dateTime >= 0) {
            const std::string_view text = cell(row, map.dateTime, missing);
            if (!ParseLogDateTime(text, order, a.day, a.minutes))
                a.problem = "date and time not readable: \"" + std::string(TrimView(text)) + "\"";
        } else {
            const std::string_view dateText = cell(row, map.date, missing);
            const std::string_view timeText = cell(row, map.time, missing);
            a.day = ParseLogDate(dateText, order);
            a.minutes = ParseLogTime(timeText);
            if (a.day <= 0) {
                a.problem = "date not readable: \"" + std::string(TrimView(dateText)) + "\"";
            } else if (a.minutes < 0) {
                a.problem = "time not readable: \"" + std::string(TrimView(timeText)) + "\"";
            }
        }
        if (missing) a.problem = "too few columns";
        if (a.problem.empty() && a.title.empty()) a.problem = "no title";
        if (a.problem.empty() && map.length >= 0) {
            bool none = false;
            a.seconds = ParseLogLength(cell(row, map.length, none));
        }
        if (!a.problem.empty()) {
            a.day = 0;
            a.minutes = -1;
        }
        out.push_back(std::move(a));
    }
    return out;
}
