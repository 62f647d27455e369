// A realistic as-run log of one quarter for the import tests and the
// benchmark: songs, spots and three public-affairs titles, a few malformed
// rows, airings outside the quarter and a duplicate row, written with any
// separator, encoding and line end. Header-only so that bench/ can use it.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "data/dates.h"

namespace sample {

enum class Encoding { Utf8, Utf8Bom, Windows1252 };

struct LogOptions {
    char separator = ',';
    Encoding encoding = Encoding::Utf8;
    bool crlf = false;
    bool header = true;
    bool amPm = false;      // 12-hour times ("6:00:00 AM") instead of 24-hour
    int32_t year = 2024;    // the log covers April to June of this year (quarter year*10+2)
    int fillerPerDay = 36;  // songs and spots per day
};

// What the log holds for the public-affairs titles, as the import should see it.
struct Expected {
    // Distinct airings inside the quarter, by title as first written.
    std::map<std::string, std::set<std::pair<int32_t, int32_t>>> airings;
    std::map<std::string, int> duplicates;  // rows repeating an airing
    std::map<std::string, int> outside;     // rows outside the quarter
    std::map<std::string, int> lengths;     // seconds
    std::vector<int> badLines;  // lines of PSA rows (or rows without title) that cannot be read
    int rows = 0;               // data rows written
};

inline const char* kCommunityFocus = "Community Focus";
inline const char* kHealthPsa = "Health Matters PSA";
inline const char* kVoterPsa = "Voter Registration PSA";

class LogWriter {
public:
    explicit LogWriter(const LogOptions& o) : o_(o) {}

    std::string Finish() {
        std::string out;
        if (o_.encoding == Encoding::Utf8Bom) out = "\xEF\xBB\xBF";
        for (const std::string& line : lines_) {
            out += o_.encoding == Encoding::Windows1252 ? ToCp1252(line) : line;
            out += o_.crlf ? "\r\n" : "\n";
        }
        return out;
    }

    int Line(const std::vector<std::string>& cells) {
        std::string line;
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) line += o_.separator;
            line += Quote(cells[i]);
        }
        lines_.push_back(line);
        return static_cast<int>(lines_.size());
    }
    void Raw(const std::string& line) { lines_.push_back(line); }

    std::string Date(int32_t day) const {
        int32_t m = 0, d = 0, y = 0;
        JulianDate2Mdy(day, m, d, y);
        return Two(m) + "/" + Two(d) + "/" + std::to_string(y);
    }
    std::string Time(int32_t minutes, int seconds = 0) const {
        const int h = minutes / 60, m = minutes % 60;
        if (!o_.amPm) return Two(h) + ":" + Two(m) + ":" + Two(seconds);
        const int h12 = h % 12 == 0 ? 12 : h % 12;
        return std::to_string(h12) + ":" + Two(m) + ":" + Two(seconds) + (h < 12 ? " AM" : " PM");
    }
    static std::string Length(int seconds) { return Two(seconds / 60) + ":" + Two(seconds % 60); }

private:
    static std::string Two(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

    std::string Quote(const std::string& cell) const {
        if (cell.find(o_.separator) == std::string::npos && cell.find('"') == std::string::npos)
            return cell;
        std::string q = "\"";
        for (char c : cell) q += c == '"' ? std::string("\"\"") : std::string(1, c);
        return q + "\"";
    }

    // The sample's non-ASCII characters (é, ñ, ’) in Windows-1252.
    static std::string ToCp1252(const std::string& s) {
        std::string out;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s.compare(i, 2, "\xC3\xA9") == 0) {
                out += '\xE9';
                ++i;
            } else if (s.compare(i, 2, "\xC3\xB1") == 0) {
                out += '\xF1';
                ++i;
            } else if (s.compare(i, 3, "\xE2\x80\x99") == 0) {
                out += '\x92';
                i += 2;
            } else {
                out += s[i];
            }
        }
        return out;
    }

    LogOptions o_;
    std::vector<std::string> lines_;
};

// Writes the quarter's log and fills what the import should find.
inline std::string QuarterLog(const LogOptions& o, Expected* expected = nullptr) {
    Expected ex;
    LogWriter w(o);
    if (o.header) w.Line({"Air Date", "Start", "Cart", "Title", "Length", "Category"});
    const int32_t first = Mdy2JulianDate(4, 1, o.year), last = Mdy2JulianDate(6, 30, o.year);
    static const char* kSongs[] = {"Caf\xC3\xA9 del Mar",
                                   "Se\xC3\xB1or Ma\xC3\xB1"
                                   "ana",
                                   "Don\xE2\x80\x99t Stop",
                                   "Hello, \"World\"",
                                   "Blue; Green",
                                   "River Road",
                                   "Morning Light",
                                   "Tab\tSeparated Blues"};
    static const char* kSpots[] = {"Joe's Diner :30", "Main Street Motors :60", "City Bank :30"};
    int serial = 0;
    const auto psa = [&](const std::string& title, int32_t day, int32_t minutes, int seconds,
                         const std::string& shownTitle) {
        w.Line({w.Date(day), w.Time(minutes), "P" + std::to_string(100 + seconds), shownTitle,
                LogWriter::Length(seconds), "PSA"});
        ++ex.rows;
        ex.lengths[title] = seconds;
        if (day < first || day > last) {
            ++ex.outside[title];
        } else if (!ex.airings[title].insert({day, minutes}).second) {
            ++ex.duplicates[title];
        }
    };
    for (int32_t day = first; day <= last; ++day) {
        // Songs and spots through the day, from 05:00.
        for (int k = 0; k < o.fillerPerDay; ++k, ++serial) {
            const int32_t minutes = 300 + k * 1000 / o.fillerPerDay;
            if (k % 4 == 3) {
                w.Line({w.Date(day), w.Time(minutes, 30), "S" + std::to_string(serial % 900),
                        kSpots[serial % 3], serial % 3 == 1 ? "01:00" : "00:30", "Spot"});
            } else {
                w.Line({w.Date(day), w.Time(minutes, 15), "M" + std::to_string(serial % 997),
                        kSongs[serial % 8], LogWriter::Length(180 + serial % 90), "Music"});
            }
            ++ex.rows;
        }
        const int weekday = DayOfWeek(day);
        if (weekday == 7) psa(kCommunityFocus, day, 6 * 60, 28 * 60 + 30, kCommunityFocus);
        psa(kHealthPsa, day, 9 * 60 + 15, 30, kHealthPsa);
        // The same title in other letter case and with blanks around it.
        psa(kHealthPsa, day, 17 * 60 + 45, 30, day % 2 ? "  HEALTH MATTERS psa " : kHealthPsa);
        if (weekday <= 5) psa(kVoterPsa, day, 12 * 60 + 10, 60, kVoterPsa);
    }
    // A duplicate row and airings outside the quarter.
    psa(kHealthPsa, first + 1, 9 * 60 + 15, 30, kHealthPsa);
    psa(kCommunityFocus, last + 7, 6 * 60, 28 * 60 + 30, kCommunityFocus);
    psa(kVoterPsa, first - 3, 12 * 60 + 10, 60, kVoterPsa);
    // Malformed rows: a date and a time that do not exist, a row cut short.
    ex.badLines.push_back(w.Line(
        {"13/45/" + std::to_string(o.year), w.Time(600), "P130", kHealthPsa, "00:30", "PSA"}));
    ex.badLines.push_back(
        w.Line({w.Date(first + 5), "25:61:00", "P160", kVoterPsa, "01:00", "PSA"}));
    ex.badLines.push_back(w.Line({w.Date(first + 6), w.Time(700)}));
    ex.rows += 3;
    if (expected) *expected = ex;
    return w.Finish();
}

}  // namespace sample
