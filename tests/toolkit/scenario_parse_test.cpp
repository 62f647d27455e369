// Reading scenario lines: the words, quoted texts, dates and keys the runner
// turns into robot steps.
#include "tests/runner/scenario_parse.h"

#include <gtest/gtest.h>

namespace {

struct TokenCase {
    const char* line;
    std::vector<std::string> words;
};

TEST(ScenarioParse, SplitsWordsAndQuotedTexts) {
    const TokenCase cases[] = {
        {"click VL 9105", {"click", "VL", "9105"}},
        {"  type  ES 100   \"WAAA FM\"  ", {"type", "ES", "100", "WAAA FM"}},
        {"assert-text PD 105 \"\"", {"assert-text", "PD", "105", ""}},
        {"sql \"INSERT INTO T VALUES('a \\\"b\\\"')\"", {"sql", "INSERT INTO T VALUES('a \"b\"')"}},
        {"assert-status VL 125 2 \"\\tSelected: 0\"",
         {"assert-status", "VL", "125", "2", "\tSelected: 0"}},
        {"save-dialog \"C:\\\\x.pdf\"", {"save-dialog", "C:\\x.pdf"}},
        {"assert-file-contains \"a\" \"x\\r\\ny\"", {"assert-file-contains", "a", "x\r\ny"}},
        {"key VL 0 F1\r", {"key", "VL", "0", "F1"}},
        {"a\"b c\"", {"a\"b", "c\""}},  // a quote inside a word is an ordinary character
    };
    for (const auto& c : cases) {
        std::vector<std::string> words;
        std::string err;
        ASSERT_TRUE(scn::Tokenize(c.line, words, err)) << c.line;
        EXPECT_EQ(words, c.words) << c.line;
    }
}

TEST(ScenarioParse, UnclosedQuoteIsAnError) {
    std::vector<std::string> words;
    std::string err;
    EXPECT_FALSE(scn::Tokenize("type ES 100 \"WAAA", words, err));
    EXPECT_EQ(err, "unclosed quote");
    EXPECT_FALSE(scn::Tokenize("type ES 100 \"ends in a backslash\\\"", words, err));
}

TEST(ScenarioParse, DatesAreCheckedAgainstTheCalendar) {
    struct DateCase {
        const char* date;
        const char* time;
        bool ok;
    };
    const DateCase cases[] = {
        {"2024-05-14", "", true},       {"2024-05-14", "09:30", true},
        {"2024-02-29", "", true},       {"2023-02-29", "", false},
        {"1900-02-29", "", false},      {"2000-02-29", "", true},
        {"2024-04-31", "", false},      {"2024-13-01", "", false},
        {"2024-00-10", "", false},      {"2024-05-14x", "", false},
        {"2024-05", "", false},         {"2024-05-14", "24:00", false},
        {"2024-05-14", "23:60", false}, {"2024-05-14", "9", false},
        {"2024-12-31", "23:59", true},
    };
    for (const auto& c : cases) {
        ClockReading r{};
        EXPECT_EQ(scn::ParseDate(c.date, c.time, r), c.ok) << c.date << " " << c.time;
    }
    ClockReading r{};
    ASSERT_TRUE(scn::ParseDate("2024-05-14", "09:30", r));
    EXPECT_EQ(r.year * 10000 + r.month * 100 + r.day, 20240514);
    EXPECT_EQ(r.hour * 100 + r.minute, 930);
    EXPECT_EQ(r.second, 0);
}

TEST(ScenarioParse, NumbersAndKeys) {
    int v = 7;
    EXPECT_TRUE(scn::ToInt("-1", v));
    EXPECT_EQ(v, -1);
    EXPECT_FALSE(scn::ToInt("12a", v));
    EXPECT_FALSE(scn::ToInt("", v));
    EXPECT_EQ(scn::KeyByName("Enter"), kKeyEnter);
    EXPECT_EQ(scn::KeyByName("F7"), kKeyF7);
    EXPECT_EQ(scn::KeyByName("enter"), 0) << "key names are exact";
    EXPECT_EQ(scn::KeyByName("F5"), 0);
}

TEST(ScenarioParse, ControlsByNameOrNumber) {
    static constexpr ControlName kNames[] = {{"Add", 110}, {"List", 105}, {"MenuAdd", 9105}};
    FormDecl form{.name = "SL"};
    form.controls = kNames;
    struct IdCase {
        const FormDecl* form;
        const char* word;
        int id;           // when found
        const char* why;  // "" when found
    };
    const IdCase cases[] = {
        {&form, "Add", 110, ""},
        {&form, "MenuAdd", 9105, ""},
        {&form, "115", 115, ""},  // a number needs no name
        {nullptr, "0", 0, ""},
        {&form, "add", 0, "form SL has no control named 'add'"},  // names are exact
        {&form, "Ad", 0, "form SL has no control named 'Ad'"},
        {&form, "", 0, "form SL has no control named ''"},
        {nullptr, "Add", 0, "no form named ZZ (for control 'Add')"},
    };
    for (const auto& c : cases) {
        int id = -5;
        EXPECT_EQ(scn::ControlId(c.form ? "SL" : "ZZ", c.form, c.word, id), c.why) << c.word;
        if (!*c.why) EXPECT_EQ(id, c.id) << c.word;
    }
}

}  // namespace
