#include "app/base/text_util.h"

#include <gtest/gtest.h>

namespace {

TEST(TextUtil, ValReadsTheLeadingNumberOnly) {
    struct Case {
        const char* text;
        int64_t expected;
    } cases[] = {
        {"12abc", 12}, {" -7", -7},      {"abc", 0}, {"", 0},    {"-", 0},         {"\t+5", 5},
        {"0012", 12},  {"3-15-2013", 3}, {"1 2", 1}, {"--3", 0}, {"20111", 20111},
    };
    for (const Case& c : cases) EXPECT_EQ(Val(c.text), c.expected) << c.text;
    EXPECT_DOUBLE_EQ(ValD("12.5x"), 12.5);
    EXPECT_DOUBLE_EQ(ValD(" -0.25"), -0.25);
}

TEST(TextUtil, SplitKeepsEmptyFields) {
    EXPECT_EQ(Split("", ","), std::vector<std::string>{""});
    EXPECT_EQ(Split("a,,b,", ","), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(Split("1||2", "||"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(Join(Split("x|y|z", "|"), "|"), "x|y|z");
}

}  // namespace

TEST(TextUtil, Utf8CutsNeverSplitACharacter) {
    const std::string text = "caf\xC3\xA9 bar";  // "café bar": é is two bytes
    EXPECT_EQ(CharCount(text), 8u);
    EXPECT_EQ(CutChars(text, 4), "caf\xC3\xA9");
    EXPECT_EQ(CutChars(text, 20), text);
    EXPECT_EQ(CutBytes(text, 4), "caf") << "the cut falls inside é and moves before it";
    EXPECT_EQ(CutBytes(text, 5), "caf\xC3\xA9");
    EXPECT_EQ(CutBytes(text, 0), "");
}

TEST(TextUtil, LetterCaseFollowsUnicode) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    };
    const Case cases[] = {
        {"Éducation", "ÉDUCATION", true},
        {"éclair", "ÉCLAIR", true},
        {"Łódź", "ŁÓDŹ", true},
        {"Ελληνικά", "ΕΛΛΗΝΙΚΆ", true},
        {"Привет", "ПРИВЕТ", true},
        {"Tiếng Việt", "TIẾNG VIỆT", true},
        {"straße", "STRASSE", true},  // full folding: ß is ss
        {"WXYZ", "wxyz", true},
        {"Éducation", "Education", false},
        {"ab", "abc", false},
        {"\xFF\xFE", "\xFF\xFE", true},  // bytes that are not UTF-8 compare as they are
        {"\xFF", "\xFE", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IEquals(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(CompareIgnoringCase(c.a, c.b) == 0, c.equal) << c.a << " / " << c.b;
    }
    // The case-blind order is a total order: antisymmetric, ASCII as before.
    EXPECT_LT(CompareIgnoringCase("abc", "ABD"), 0);
    EXPECT_GT(CompareIgnoringCase("ABD", "abc"), 0);
    EXPECT_LT(CompareIgnoringCase("Zebra", "élan"), 0);
    EXPECT_GT(CompareIgnoringCase("élan", "Zebra"), 0);

    EXPECT_EQ(ToUpper("cjé-fm"), "CJÉ-FM");
    EXPECT_EQ(ToUpper("łódź ελληνικά привет việt"), "ŁÓDŹ ΕΛΛΗΝΙΚΆ ПРИВЕТ VIỆT");
    EXPECT_EQ(ToUpper("straße"), "STRASSE");
    EXPECT_EQ(ToUpper("k\xFFz"), "K\xFFZ");
    EXPECT_EQ(FoldCase("ΣΊΣΥΦΟΣ"), "σίσυφοσ");
    // Simple folding: one character for one; only ẞ and the Greek capitals
    // with prosgegrammeni fold where their full folding is longer.
    EXPECT_EQ(FoldCaseSimple("ÉCOLE Straße ẞ İ ﬀ ᾈ ᾼ ῼ ΣΊΣΥΦΟΣ k\xFFZ"),
              "école straße ß İ ﬀ ᾀ ᾳ ῳ σίσυφοσ k\xFFz");
    EXPECT_EQ(ToLower("ABC É"), "abc É");  // SQL names: ASCII only
}

// The one UTF-8 decoder: what it takes as a character, and how much of a
// malformed sequence a reader skips as one bad character.
TEST(TextUtil, Utf8DecodingIsStrict) {
    using namespace std::string_view_literals;
    struct Case {
        std::string_view bytes;
        char32_t cp;       // decoded at the start
        size_t length;     // 0: malformed
        size_t malformed;  // bytes skipped as one bad character
    } const cases[] = {
        {"\0"sv, 0, 1, 0},  // a NUL is a character
        {"\xC3\xA9"sv, U'é', 2, 0},
        {"\xE2\x82\xAC"sv, U'€', 3, 0},
        {"\xF0\x90\x90\x80"sv, U'\U00010400', 4, 0},  // a four-byte letter
        {"\xED\x9F\xBF"sv, U'\uD7FF', 3, 0},          // either side of the surrogates
        {"\xEE\x80\x80"sv, U'\uE000', 3, 0},
        {"\xF4\x8F\xBF\xBF"sv, U'\U0010FFFF', 4, 0},
        {"\x80"sv, 0, 0, 1},                  // stray continuation byte
        {"\xF8\x88\x80\x80\x80"sv, 0, 0, 1},  // no lead byte
        {"\xFF"sv, 0, 0, 1},
        {"\xC0\xAF"sv, 0, 0, 2},  // overlong "/" in two, three and four bytes
        {"\xE0\x80\xAF"sv, 0, 0, 3},
        {"\xF0\x80\x80\xAF"sv, 0, 0, 4},
        {"\xE0\x9F\xBF"sv, 0, 0, 3},  // overlong U+07FF
        {"\xED\xA0\x80"sv, 0, 0, 3},  // surrogates
        {"\xED\xBF\xBF"sv, 0, 0, 3},
        {"\xF4\x90\x80\x80"sv, 0, 0, 4},  // above U+10FFFF
        {"\xF7\xBF\xBF\xBF"sv, 0, 0, 4},
        {"\xF0\x9F\x98"sv, 0, 0, 3},      // cut short by the end,
        {"\xC3("sv, 0, 0, 1},             // by a byte that does not continue it
        {"\xF0\x9F\xC3\xA9"sv, 0, 0, 2},  // or by the next character
    };
    for (const Case& c : cases) {
        size_t length = 99;
        const std::string shown = testing::PrintToString(c.bytes);
        EXPECT_EQ(DecodeUtf8(c.bytes, 0, length), c.cp) << shown;
        EXPECT_EQ(length, c.length) << shown;
        EXPECT_EQ(IsValidUtf8(c.bytes), c.length != 0) << shown;
        if (c.length == 0) EXPECT_EQ(MalformedUtf8Length(c.bytes, 0), c.malformed) << shown;
    }
    size_t length = 99;
    EXPECT_EQ(DecodeUtf8("a\xC3\xA9", 1, length), U'é');
    EXPECT_EQ(length, 2u);
    EXPECT_EQ(DecodeUtf8("a", 1, length), 0u);  // past the end
    EXPECT_EQ(length, 0u);
    EXPECT_TRUE(IsValidUtf8("a\0\xC3\xA9"sv));
    EXPECT_FALSE(IsValidUtf8("ok \xC3"));
    // Case mapping keeps four-byte characters whole and malformed bytes as they are.
    EXPECT_EQ(ToUpper("a\xF0\x9F\x98\x80"
                      "b"),
              "A\xF0\x9F\x98\x80"
              "B");
    EXPECT_EQ(ToUpper("a\xED\xA0\x80z\xC0\xAF"), "A\xED\xA0\x80Z\xC0\xAF");
}
