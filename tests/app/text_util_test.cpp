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
