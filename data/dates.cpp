#include "data/dates.h"

#include <ctime>
#include <vector>

#include "app/base/prompt.h"
#include "app/base/system.h"
#include "app/base/text_util.h"

namespace {

std::optional<ClockReading>& ClockOverride() {
    static std::optional<ClockReading> reading;
    return reading;
}

// Day, month and year of a date text "MM-DD-YYYY": characters 1-2, 4-5 and the last four.
void TodayFields(int32_t& month, int32_t& day, int32_t& year) {
    std::string t = TodayDateText();
    month = static_cast<int32_t>(Val(t.substr(0, 2)));
    day = static_cast<int32_t>(Val(t.substr(3, 2)));
    year = static_cast<int32_t>(Val(t.size() >= 4 ? t.substr(t.size() - 4) : t));
}

// The first three fields of a date text split at "-"; missing fields are empty.
std::vector<std::string> ThreeFields(const std::string& text) {
    std::vector<std::string> f = Split(text, "-");
    f.resize(3);
    return f;
}

int32_t FieldValue(const std::string& field) {
    int64_t v = Val(field);
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

}  // namespace

// --- date settings ---

// --- the clock ---

ClockReading Now() {
    if (ClockOverride()) return *ClockOverride();
    std::time_t t = std::time(nullptr);
    const std::tm tm = LocalTimeOf(t);
    return ClockReading{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                        tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

void SetClockOverride(std::optional<ClockReading> reading) {
    ClockOverride() = reading;
}

int32_t TodayJulian() {
    ClockReading c = Now();
    return Mdy2JulianDate(c.month, c.day, c.year);
}

std::string TodayDateText() {
    ClockReading c = Now();
    return ZeroPad(c.month, 2) + "-" + ZeroPad(c.day, 2) + "-" + ZeroPad(c.year, 4);
}

std::string TodayTimeText() {
    ClockReading c = Now();
    return ZeroPad(c.hour, 2) + ":" + ZeroPad(c.minute, 2) + ":" + ZeroPad(c.second, 2);
}

// --- calendar arithmetic ---
// 64-bit intermediates keep absurd inputs (a year typed as 99999999) from
// overflowing; C++ division truncates toward zero as the formulas require.

int32_t Mdy2JulianDate(int32_t month, int32_t day, int32_t year) {
    int64_t m = month, d = day, y = year;
    int64_t a = (m - 14) / 12;
    int64_t t1 = d - 32075;
    int64_t t2 = 1461 * (y + 4800 + a) / 4;
    int64_t t3 = 367 * (m - 2 - 12 * a) / 12;
    int64_t t4 = 3 * ((y + 4900 + a) / 100) / 4;
    return static_cast<int32_t>(t1 + t2 + t3 - t4);
}

void JulianDate2Mdy(int32_t jd, int32_t& month, int32_t& day, int32_t& year) {
    int64_t l = static_cast<int64_t>(jd) + 68569;
    int64_t n = 4 * l / 146097;
    l = l - (146097 * n + 3) / 4;
    int64_t i = 4000 * (l + 1) / 1461001;
    l = l - 1461 * i / 4 + 31;
    int64_t j = 80 * l / 2447;
    day = static_cast<int32_t>(l - 2447 * j / 80);
    l = j / 11;
    month = static_cast<int32_t>(j + 2 - 12 * l);
    year = static_cast<int32_t>(100 * (n - 49) + i + l);
}

int IsLeapYear(int32_t year) {
    return (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 1 : 0;
}

int DaysInMonth(int32_t month, int32_t year) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return kDays[month - 1] + (month == 2 ? IsLeapYear(year) : 0);
}

int DayOfWeek(int32_t jd) {
    int r = jd % 7;
    if (r < 0) r += 7;  // day numbers before the epoch still give 1..7
    return r + 1;
}

// --- text to day number ---

int32_t Date2JulianDate(std::string text, std::string& mode) {
    if (text.empty()) {
        text = TodayDateText();
        mode = "MDY";
    } else {
        text = ReplaceAll(text, "/", "-");
    }
    std::vector<std::string> f = ThreeFields(text);
    int32_t v[3];
    for (int i = 0; i < 3; ++i) {
        v[i] = FieldValue(f[i]);
        // An unknown field order cannot be read either.
        if (v[i] == 0 || (mode != "MDY" && mode != "YMD")) {
            PromptOk("Invalid Date", "Date values in Date2JulianDate are invalid.{f6}", "");
            return 0;
        }
    }
    if (mode == "MDY") return Mdy2JulianDate(v[0], v[1], v[2]);
    return Mdy2JulianDate(v[1], v[2], v[0]);
}

int32_t Display2JulianDate(std::string& text) {
    text = ReplaceAll(text, "/", "-");
    std::vector<std::string> f = ThreeFields(text);
    int32_t a = FieldValue(f[0]), b = FieldValue(f[1]), c = FieldValue(f[2]);
    switch (Dates().format) {
        case 0:
            return Mdy2JulianDate(b, c, a);
        case 1:
            return Mdy2JulianDate(a, b, c);
        case 2:
            return Mdy2JulianDate(b, a, c);
        default:
            return Mdy2JulianDate(0, 0, 0);
    }
}

// --- day number to text ---

std::string JulianDate2Text(int32_t& jd, int style) {
    if (jd == 0) {
        std::string mode = "MDY";
        jd = Date2JulianDate("", mode);
    }
    int32_t m = 0, d = 0, y = 0;
    JulianDate2Mdy(jd, m, d, y);
    std::string mm = ZeroPad(m, 2), dd = ZeroPad(d, 2), yyyy = ZeroPad(y, 4);
    switch (style) {
        case 1:
            return mm + "-" + dd + "-" + yyyy;
        case 2:
            return yyyy + "-" + mm + "-" + dd;
        case 3:
            return yyyy + mm + dd;
        default:
            return {};
    }
}

std::string JulianDate2Display(int32_t jd, int formatCode, int yearMode,
                               const std::string& separator) {
    int32_t m = 0, d = 0, y = 0;
    if (jd == 0) {
        TodayFields(m, d, y);
    } else {
        JulianDate2Mdy(jd, m, d, y);
    }
    std::string mm = ZeroPad(m, 2), dd = ZeroPad(d, 2), yyyy = ZeroPad(y, 4);
    if (yearMode == 1) yyyy = yyyy.substr(yyyy.size() - 2);
    const std::string& s = separator;
    bool noYear = yearMode == 2;
    switch (formatCode) {
        case 0:
            return noYear ? mm + s + dd : yyyy + s + mm + s + dd;
        case 1:
            return noYear ? mm + s + dd : mm + s + dd + s + yyyy;
        case 2:
            return noYear ? dd + s + mm : dd + s + mm + s + yyyy;
        default:
            return {};
    }
}

std::string DisplayDate(int32_t jd) {
    return JulianDate2Display(jd, Dates().format, 0, Dates().separator);
}

std::string DashDate(int32_t jd, int formatCode, int yearMode) {
    return JulianDate2Display(jd, formatCode, yearMode, "-");
}

std::string DateFormatHint(int formatCode) {
    std::string hint;
    switch (formatCode) {
        case 0:
            hint = "YEAR-MM-DD";
            break;
        case 1:
            hint = "MM-DD-YEAR";
            break;
        case 2:
            hint = "DD-MM-YEAR";
            break;
        default:
            return {};
    }
    return Dates().slash ? ReplaceAll(hint, "-", "/") : hint;
}

std::string MonthName(int month) {
    static const char* const kNames[12] = {"January",   "February", "March",    "April",
                                           "May",       "June",     "July",     "August",
                                           "September", "October",  "November", "December"};
    if (month < 1 || month > 12) return {};
    return kNames[month - 1];
}

std::string MonthDayText(const std::string& text) {
    int64_t month = Val(text);
    int64_t day = text.size() > 3 ? Val(std::string_view(text).substr(3)) : 0;
    return MonthName(static_cast<int>(month)) + " " + std::to_string(day);
}

// --- times ---

std::string MilitaryTime(const std::string& minutes) {
    int64_t v = Val(minutes);
    return ZeroPad(v / 60, 2) + ":" + ZeroPad(v % 60, 2);
}

std::string AmPmTime(int32_t minutes) {
    int32_t hours = minutes / 60;
    int32_t rest = minutes % 60;
    std::string suffix = hours > 11 ? "PM" : "AM";
    if (hours > 12) hours -= 12;
    return std::to_string(hours) + ":" + ZeroPad(rest, 2) + suffix;
}

// --- clock-derived strings ---

std::string DateTimeStamp() {
    ClockReading c = Now();
    return ZeroPad(c.year, 4) + ZeroPad(c.month, 2) + ZeroPad(c.day, 2) + "-" + ZeroPad(c.hour, 2) +
           ZeroPad(c.minute, 2) + ZeroPad(c.second, 2);
}

int32_t TodayQuarter() {
    int32_t m = 0, d = 0, y = 0;
    TodayFields(m, d, y);
    return y * 10 + (m - 1) / 3 + 1;
}

std::string BuildDateText() {
#ifdef VANTREL_BUILD_DATE
    return VANTREL_BUILD_DATE;
#else
    // __DATE__ is "Mmm dd yyyy".
    static const std::string kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    std::string date = __DATE__;
    int month = static_cast<int>(kMonths.find(date.substr(0, 3)) / 3) + 1;
    return ZeroPad(Val(date.substr(7)), 4) + "-" + ZeroPad(month, 2) + "-" +
           ZeroPad(Val(date.substr(4, 2)), 2);
#endif
}

std::string QuarterPeriodText(int32_t quarter, int style) {
    int32_t year = quarter / 10;
    int32_t q = quarter - 10 * year;
    // A number whose last digit is no quarter of the year names no period.
    if (q < 1 || q > 4) return {};
    int firstMonth = 3 * q - 2;
    int lastMonth = 3 * q;
    std::string y = std::to_string(year);
    if (style == 0) {
        return MonthName(firstMonth) + " 1 - " + MonthName(lastMonth) + " " +
               std::to_string(DaysInMonth(lastMonth, year)) + ", " + y;
    }
    return MonthName(firstMonth) + "-" + MonthName(lastMonth) + " " + y;
}
