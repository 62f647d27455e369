// The RTF reader behind the About box's history page.
#include <gtest/gtest.h>

#include "support/test_env.h"
#include "ui/rtf.h"

namespace {

TEST(RtfReader, BoldItalicRunsAndParagraphs) {
    auto runs = ParseRtf(R"({\rtf1\ansi {\b Heading}\par Plain \i slanted\i0  back\par})");
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, "Heading");
    EXPECT_TRUE(runs[0].bold);
    EXPECT_FALSE(runs[0].newPara);
    EXPECT_EQ(runs[1].text, "Plain ");
    EXPECT_FALSE(runs[1].bold);  // the group ended the bold
    EXPECT_TRUE(runs[1].newPara);
    EXPECT_EQ(runs[2].text, "slanted");
    EXPECT_TRUE(runs[2].italic);
    EXPECT_FALSE(runs[2].newPara);
    EXPECT_EQ(runs[3].text, " back");
    EXPECT_FALSE(runs[3].italic);
}

TEST(RtfReader, TextOfDocuments) {
    struct Case {
        const char* rtf;
        const char* text;
    } cases[] = {
        // Destinations and unknown control words show nothing.
        {R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red0\green0\blue0;}{\*\generator X;}\f0\fs20 Hi\par})",
         "Hi"},
        {R"({\rtf1 A \unknownword12 B \zzz C})", "A B C"},
        {R"({\rtf1 {\*\unknowndest hidden}shown})", "shown"},
        {R"({\rtf1 {\info{\title T}}body})", "body"},
        // Escapes: Windows-1252 bytes, Unicode with fallback, literal braces.
        {R"({\rtf1 caf\'e9 \'93q\'94 \'80})", "caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D \xE2\x82\xAC"},
        {R"({\rtf1 \u233?t\u8212?})", "\xC3\xA9t\xE2\x80\x94"},
        {R"({\rtf1\uc2 \u233\'65\'65 x})", "\xC3\xA9 x"},
        {R"({\rtf1 \u-10179?\u-8704?})", "\xF0\x9F\x98\x80"},  // surrogate pair
        {R"({\rtf1 \{a\}\\b})", "{a}\\b"},
        {R"({\rtf1 a\tab b\emdash c})",
         "a\tb\xE2\x80\x94"
         "c"},
        // Blank paragraphs stay; a final \par adds none; line breaks in the source are ignored.
        {"{\\rtf1 one\\par\\par two\r\n three\\par}", "one\n\ntwo three"},
        {R"({\rtf1 \par x})", "\nx"},
        // Text after the document's last brace is not part of it.
        {R"({\rtf1 in}out)", "in"},
        {"", ""},
        // A file that is not RTF at all shows as plain lines.
        {"plain\r\ntext\n", "plain\ntext"},
        // Truncated input ends quietly.
        {R"({\rtf1 end\'4)", "end"},
    };
    for (const Case& c : cases) EXPECT_EQ(RunsToPlainText(ParseRtf(c.rtf)), c.text) << c.rtf;
}

TEST(RtfReader, PlainAndSizeAndUnderline) {
    auto runs = ParseRtf(R"({\rtf1\b\i\ul\fs32 big\plain  small \b0 x})");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_TRUE(runs[0].bold && runs[0].italic && runs[0].underline);
    EXPECT_DOUBLE_EQ(runs[0].points, 16);
    EXPECT_FALSE(runs[1].bold || runs[1].italic || runs[1].underline);
    EXPECT_DOUBLE_EQ(runs[1].points, 0);
    EXPECT_EQ(runs[1].text, " small x");  // equal styles merge into one run
}

TEST(RtfReader, ProgramHistoryFileReads) {
    std::string rtf = ReadFileText(SourceFolder() + "resources/History.rtf");
    ASSERT_FALSE(rtf.empty());
    auto runs = ParseRtf(rtf);
    std::string text = RunsToPlainText(runs);
    EXPECT_NE(text.find("Version 1.8.4.0"), std::string::npos);
    EXPECT_EQ(text.find("Segoe"), std::string::npos);  // the font table is not shown
    bool anyBold = false, anyItalic = false;
    for (const auto& r : runs) {
        anyBold |= r.bold;
        anyItalic |= r.italic;
    }
    EXPECT_TRUE(anyBold);
    EXPECT_TRUE(anyItalic);
}

}  // namespace
