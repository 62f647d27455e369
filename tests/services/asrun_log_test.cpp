// Reading as-run logs: encodings, separators, quoting, header rows, column
// guesses, and the dates, times and lengths stations' systems write.
#include "services/asrun_log.h"

#include <gtest/gtest.h>

#include "data/dates.h"
#include "support/asrun_sample.h"
#include "support/days.h"

namespace {

std::vector<std::vector<std::string>> Cells(const AsRunLog& log) {
    std::vector<std::vector<std::string>> out;
    for (const LogRow& r : log.rows) out.push_back(r.cells);
    return out;
}

TEST(AsRunLogDecode, EncodingsAndBytesThatAreNoText) {
    struct Case {
        std::string bytes;
        LogEncoding encoding;
        std::string text;
    };
    const Case cases[] = {
        {"Caf\xC3\xA9", LogEncoding::Utf8, "Caf\xC3\xA9"},
        {"\xEF\xBB\xBF"
         "Caf\xC3\xA9",
         LogEncoding::Utf8Bom, "Caf\xC3\xA9"},
        {"Caf\xE9 \x93Hi\x94", LogEncoding::Windows1252, "Caf\xC3\xA9 \xE2\x80\x9CHi\xE2\x80\x9D"},
        // Unassigned Windows-1252 codes and a cut-off UTF-8 sequence.
        {"a\x81"
         "b\xC3",
         LogEncoding::Windows1252,
         "a\xEF\xBF\xBD"
         "b\xC3\x83"},
        // UTF-8 with a mark but one stray byte: the stray byte alone is read as Windows-1252.
        {"\xEF\xBB\xBF\xC3\xA9\xE9", LogEncoding::Utf8Bom, "\xC3\xA9\xC3\xA9"},
        // Lines of both encodings, each read in its own (CR, LF and CR LF line ends).
        {"Caf\xC3\xA9 Talk\r\nCaf\xE9 Talk\rx\n\xC3\xA9\xE9\n\xC3\xA9", LogEncoding::Mixed,
         "Caf\xC3\xA9 Talk\r\nCaf\xC3\xA9 Talk\rx\n\xC3\x83\xC2\xA9\xC3\xA9\n\xC3\xA9"},
        {"plain\nCaf\xE9\n", LogEncoding::Windows1252, "plain\nCaf\xC3\xA9\n"},
        // NUL and other control bytes become blanks; tab and line ends stay.
        {std::string("a\0b\x01\tc\r\n", 8), LogEncoding::Utf8, "a b \tc\r\n"},
        {"", LogEncoding::Utf8, ""},
    };
    for (const Case& c : cases) {
        LogEncoding e = LogEncoding::Utf8;
        EXPECT_EQ(DecodeLogText(c.bytes, e), c.text);
        EXPECT_EQ(e, c.encoding);
    }
}

TEST(AsRunLogRead, SeparatorsQuotesAndLineEnds) {
    struct Case {
        std::string text;
        char separator;
        std::vector<std::vector<std::string>> rows;
    };
    const Case cases[] = {
        {"a,b,c\n1,2,3\n", ',', {{"a", "b", "c"}, {"1", "2", "3"}}},
        {"a;b;c\r\n1;2,5;3\r\n", ';', {{"a", "b", "c"}, {"1", "2,5", "3"}}},
        {"a\tb, x\tc\r1\t2\t3", '\t', {{"a", "b, x", "c"}, {"1", "2", "3"}}},
        // Quoted separators and doubled quotes; blanks before an opening quote.
        {"\"x, y\",\"say \"\"hi\"\"\", \"z\"\n", ',', {{"x, y", "say \"hi\"", "z"}}},
        // A quote inside an unquoted field is an ordinary character.
        {"Joe's 12\" pizza,b\n", ',', {{"Joe's 12\" pizza", "b"}}},
        // A quoted field over two lines; blank lines are dropped.
        {"\"one\ntwo\",b\n\n ,  \nc,d\n", ',', {{"one two", "b"}, {"c", "d"}}},
        // One column only.
        {"title\nHello\n", ',', {{"title"}, {"Hello"}}},
    };
    for (const Case& c : cases) {
        const AsRunLog log = ReadAsRunLog(c.text);
        EXPECT_EQ(log.separator, c.separator) << c.text;
        EXPECT_EQ(Cells(log), c.rows) << c.text;
    }
}

TEST(AsRunLogRead, FilesThatHoldNoRows) {
    const std::string huge(10u << 20, 'x');
    using T = LogTrouble;
    const std::pair<std::string, LogTrouble> cases[] = {
        {std::string("PK\x03\x04\x14\x00", 6) + "xl/workbook.xml", T::NotText},
        {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 Date,Time", T::NotText},
        {std::string("Date,Time,Title\n04/01/2024,06:00,N\0ews\n", 38), T::NotText},
        {"", T::Empty},
        {"\xEF\xBB\xBF \r\n\t\n", T::Empty},
        {"Air Date,Start,Title\r\n", T::NoRows},
        {"Air Date,Start,Title", T::NoRows},
        {huge, T::NoLineBreaks},
        {huge + "\r\n", T::NoLineBreaks},
        // A log of one row, and a long first line that is followed by rows.
        {"04/01/2024,06:00,News", T::None},
        {"Date,Time,Title," + huge + "\n04/01/2024,06:00,News\n", T::None}};
    for (const auto& [bytes, trouble] : cases) {
        const AsRunLog log = ReadAsRunLog(bytes);
        EXPECT_EQ(TroubleOf(log), trouble) << bytes.substr(0, 40);
        if (trouble == T::NotText || trouble == T::NoLineBreaks) EXPECT_TRUE(log.rows.empty());
    }
}

TEST(AsRunLogRead, QuoteLeftOpenSpoilsOnlyItsOwnLine) {
    const AsRunLog log = ReadAsRunLog("d,t,x\n1,2,\"broken\n3,4,\"fine\"\n5,6,7\n");
    ASSERT_EQ(log.rows.size(), 4u);
    EXPECT_EQ(log.rows[1].cells, (std::vector<std::string>{"1", "2", "broken"}));
    EXPECT_EQ(log.rows[1].problem, "unclosed quote");
    EXPECT_EQ(log.rows[1].line, 2);
    EXPECT_EQ(log.rows[2].cells, (std::vector<std::string>{"3", "4", "fine"}));
    EXPECT_TRUE(log.rows[2].problem.empty());
    EXPECT_EQ(log.rows[3].line, 4);
}

TEST(AsRunLogRead, HeaderRowDetection) {
    struct Case {
        const char* text;
        bool header;
    };
    const Case cases[] = {
        {"Air Date,Start,Title\n04/01/2024,06:00,News\n", true},
        {"AIR_DATE,START TIME,CART NAME\n04/01/2024,06:00,News\n", true},
        {"When,At,What\n04/01/2024,06:00,News\n", true},  // names unknown, but no values
        {"04/01/2024,06:00,News\n04/02/2024,06:00,News\n", false},
        {"News\n", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadAsRunLog(c.text).header, c.header) << c.text;
}

TEST(AsRunLogValues, Dates) {
    struct Case {
        const char* text;
        DateOrder order;
        int32_t day;
    };
    const int32_t apr1 = Day(2024, 4, 1);
    const Case cases[] = {
        {"04/01/2024", DateOrder::MonthFirst, apr1},
        {"4/1/24", DateOrder::MonthFirst, apr1},
        {"2024-04-01", DateOrder::DayFirst, apr1},  // year first whatever the order
        {"01-04-2024", DateOrder::DayFirst, apr1},
        {"01.04.2024", DateOrder::DayFirst, apr1},
        {" 04/01/2024 12:00:00 AM ", DateOrder::MonthFirst, apr1},
        {"02/29/2024", DateOrder::MonthFirst, Day(2024, 2, 29)},
        {"12/31/99", DateOrder::MonthFirst, Day(1999, 12, 31)},
        {"02/29/2023", DateOrder::MonthFirst, 0},
        {"13/45/2024", DateOrder::MonthFirst, 0},
        {"04/01-2024", DateOrder::MonthFirst, 0},
        {"04/01/202", DateOrder::MonthFirst, 0},
        {"2024-4-1x", DateOrder::MonthFirst, 0},
        {"00/00/0000", DateOrder::MonthFirst, 0},
        {"", DateOrder::MonthFirst, 0},
        {"99999999999/1/1", DateOrder::MonthFirst, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseLogDate(c.text, c.order), c.day) << c.text;
}

TEST(AsRunLogValues, Times) {
    struct Case {
        const char* text;
        int32_t minutes;
    };
    const Case cases[] = {
        {"06:00", 360},
        {"6:05", 365},
        {"23:59:59", 1439},
        {"14:30:00.250", 870},
        {"0:30AM", 30},
        {"12:00 AM", 0},
        {"12:15:00 PM", 735},
        {"2:30 p.m.", 870},
        {"11:59 pm", 1439},
        {"9:05a", 545},
        {"12/30/1899 06:00:00", 360},
        {"24:00", -1},
        {"13:00 PM", -1},
        {"6:60", -1},
        {"6:5", -1},
        {"600", -1},
        {"", -1},
        {"noon", -1},
        {"06:00:61", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseLogTime(c.text), c.minutes) << c.text;
}

TEST(AsRunLogValues, DateAndTimeInOneText) {
    int32_t day = 0, minutes = 0;
    EXPECT_TRUE(ParseLogDateTime("2024-04-01T06:00:00", DateOrder::MonthFirst, day, minutes));
    EXPECT_EQ(day, Day(2024, 4, 1));
    EXPECT_EQ(minutes, 360);
    EXPECT_TRUE(ParseLogDateTime("4/1/2024 6:00 PM", DateOrder::MonthFirst, day, minutes));
    EXPECT_EQ(minutes, 1080);
    EXPECT_FALSE(ParseLogDateTime("4/1/2024", DateOrder::MonthFirst, day, minutes));
    EXPECT_FALSE(ParseLogDateTime("4/1/2024 25:00", DateOrder::MonthFirst, day, minutes));
}

TEST(AsRunLogValues, Lengths) {
    struct Case {
        const char* text;
        int32_t seconds;
    };
    const Case cases[] = {
        {"30", 30},         {"29.5", 30},          {"29.4", 29},
        {"0:30", 30},       {":30", 30},           {"28:30", 1710},
        {"00:28:30", 1710}, {"01:00:00:15", 3600}, {"00:00:30.00", 30},
        {"0:60", -1},       {"1:61:00", -1},       {"abc", -1},
        {"", -1},           {"1:2:3:4:5", -1},     {"30s", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseLogLength(c.text), c.seconds) << c.text;
}

TEST(AsRunLogColumns, GuessedFromNamesAndCells) {
    struct Case {
        const char* text;
        ColumnMap map;
    };
    const Case cases[] = {
        {"Air Date,Start,Cart,Title,Length\n04/01/2024,06:00,P1,News,0:30\n", {0, 1, 3, 4, -1}},
        {"Date;Time;Description;Duration\n04/01/2024;06:00;News;30\n", {0, 1, 2, 3, -1}},
        {"Cart\tTime\tDate\n P1\t06:00\t04/01/2024\n", {2, 1, 0, -1, -1}},
        // A date column that holds the time as well.
        {"Date,Title\n2024-04-01 06:00:00,News\n", {-1, -1, 1, -1, 0}},
        // No header: by what the cells hold.
        {"News,2024-04-01 06:00,00:30\nSports,2024-04-01 07:00,01:00\n", {-1, -1, 0, 2, 1}},
        {"P1,06:00:00,04/01/2024,News\nP2,07:00:00,04/01/2024,Sports\n", {2, 1, 3, -1, -1}},
    };
    for (const Case& c : cases) {
        const ColumnMap m = GuessColumns(ReadAsRunLog(c.text));
        EXPECT_EQ(m.date, c.map.date) << c.text;
        EXPECT_EQ(m.time, c.map.time) << c.text;
        EXPECT_EQ(m.title, c.map.title) << c.text;
        EXPECT_EQ(m.length, c.map.length) << c.text;
        EXPECT_EQ(m.dateTime, c.map.dateTime) << c.text;
    }
}

TEST(AsRunLogColumns, AtMostAHundredColumnsAreOffered) {
    const AsRunLog log =
        ReadAsRunLog("Date,Time,Title" + std::string(5000, ',') + "\n04/01/2024,06:00,News\n");
    EXPECT_EQ(log.columnCount, 5003u);
    EXPECT_EQ(LogColumnNames(log).size(), 100u);
    const ColumnMap m = GuessColumns(log);
    EXPECT_EQ(m.title, 2);
    EXPECT_EQ(ReadLogAirings(log, m, DateOrder::MonthFirst).at(0).title, "News");
}

TEST(AsRunLogColumns, DateOrderFromValuesElseFromTheProgramsFormat) {
    const auto order = [](const char* text, int format) {
        const AsRunLog log = ReadAsRunLog(text);
        return GuessDateOrder(log, GuessColumns(log), format);
    };
    EXPECT_EQ(order("Date,Time,Title\n25/04/2024,06:00,A\n", 1), DateOrder::DayFirst);
    EXPECT_EQ(order("Date,Time,Title\n04/25/2024,06:00,A\n", 2), DateOrder::MonthFirst);
    EXPECT_EQ(order("Date,Time,Title\n04/05/2024,06:00,A\n", 2), DateOrder::DayFirst);
    EXPECT_EQ(order("Date,Time,Title\n04/05/2024,06:00,A\n", 1), DateOrder::MonthFirst);
}

TEST(AsRunLogAirings, RowProblems) {
    const AsRunLog log = ReadAsRunLog(
        "Date,Time,Title,Length\n"
        "04/01/2024,06:00,News,0:30\n"
        "04/31/2024,06:00,News,0:30\n"
        "04/01/2024,6 o'clock,News,0:30\n"
        "04/01/2024,06:00\n"
        "04/01/2024,06:00,,0:30\n"
        "04/01/2024,07:00,Sports,long\n");
    const auto rows = ReadLogAirings(log, GuessColumns(log), DateOrder::MonthFirst);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].problem, "");
    EXPECT_EQ(rows[0].seconds, 30);
    EXPECT_EQ(rows[1].problem, "date not readable: \"04/31/2024\"");
    EXPECT_EQ(rows[2].problem, "time not readable: \"6 o'clock\"");
    EXPECT_EQ(rows[3].problem, "too few columns");
    EXPECT_EQ(rows[4].problem, "no title");
    EXPECT_EQ(rows[5].problem, "");  // an unreadable length is only left out
    EXPECT_EQ(rows[5].seconds, -1);
    EXPECT_EQ(rows[2].line, 4);
}

// The same quarter log in every encoding, separator and line end reads the same.
TEST(AsRunLogAirings, SampleQuarterInEveryForm) {
    std::vector<LogAiring> reference;
    for (auto enc :
         {sample::Encoding::Utf8, sample::Encoding::Utf8Bom, sample::Encoding::Windows1252}) {
        for (char sep : {',', ';', '\t'}) {
            for (bool crlf : {false, true}) {
                sample::LogOptions o;
                o.encoding = enc;
                o.separator = sep;
                o.crlf = crlf;
                o.amPm = sep == ';';
                sample::Expected ex;
                const AsRunLog log = ReadAsRunLog(sample::QuarterLog(o, &ex));
                SCOPED_TRACE(std::string("separator ") + sep + (crlf ? " CRLF" : " LF"));
                EXPECT_EQ(log.separator, sep);
                EXPECT_TRUE(log.header);
                const ColumnMap map = GuessColumns(log);
                EXPECT_EQ(map.date, 0);
                EXPECT_EQ(map.time, 1);
                EXPECT_EQ(map.title, 3);
                EXPECT_EQ(map.length, 4);
                const auto rows = ReadLogAirings(log, map, GuessDateOrder(log, map, 1));
                ASSERT_EQ(static_cast<int>(rows.size()), ex.rows);
                if (reference.empty()) {
                    reference = rows;
                    continue;
                }
                for (size_t i = 0; i < rows.size(); ++i) {
                    ASSERT_EQ(rows[i].title, reference[i].title) << "row " << i;
                    ASSERT_EQ(rows[i].day, reference[i].day) << "row " << i;
                    ASSERT_EQ(rows[i].minutes, reference[i].minutes) << "row " << i;
                    ASSERT_EQ(rows[i].seconds, reference[i].seconds) << "row " << i;
                    ASSERT_EQ(rows[i].problem, reference[i].problem) << "row " << i;
                }
            }
        }
    }
    EXPECT_GT(reference.size(), 3000u);
}

}  // namespace
