// Page helpers: Windows-1252 conversion, libharu error reporting, wrapping.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "reports/pdf_page.h"
#include "support/pdf_check.h"
#include "support/prompt_queue.h"
#include "ui/msgbox.h"

namespace {

TEST(WinAnsi, Conversion) {
    struct {
        const char* utf8;
        const char* expected;
    } const cases[] = {
        {"plain ASCII 123", "plain ASCII 123"},
        {"caf\xC3\xA9 \xC3\xBF", "caf\xE9 \xFF"},  // Latin-1 range
        {"\xE2\x80\x9Cq\xE2\x80\x9D \xE2\x80\x98s\xE2\x80\x99", "\x93q\x94 \x91s\x92"},  // quotes
        {"a\xE2\x80\x94"
         "b\xE2\x80\x93"
         "c",
         "a\x97"
         "b\x96"
         "c"},  // em and en dash
        {"\xE2\x82\xAC \xE2\x84\xA2 \xE2\x80\xA6 \xC5\x92 \xC5\xBD", "\x80 \x99 \x85 \x8C \x8E"},
        {"\xC3\x97", "\xD7"},  // the airing separator
        {"\xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         "?\xF3"
         "d?"},                                      // outside the code page
        {"\xE6\x97\xA5\xF0\x9F\x98\x80", "??"},      // CJK and emoji
        {"tab\there\r\nnext", "tab\there\r\nnext"},  // kept controls
        {"bell\x07", "bell?"},                       // other controls
        {"\xC2\x81", "?"},                           // C1 control
        {"bad\x80tail", "bad?tail"},                 // stray continuation
        {"cut\xE2\x80", "cut?"},                     // truncated sequence
        {"\xC0\xAF", "?"},                           // overlong "/"
        {"\xC3(", "?("},                             // broken pair
        {"\xED\xA0\x80!", "?!"},                     // surrogate
        {"\xF4\x90\x80\x80!", "?!"},                 // beyond U+10FFFF
        {"\xF8\x88!", "??!"},                        // no lead byte at all
    };
    for (const auto& c : cases) EXPECT_EQ(ToWinAnsi(c.utf8), c.expected) << c.utf8;
}

// Which texts need the embedded Unicode font, and what it is given.
TEST(WinAnsi, FitAndCleanUnicode) {
    struct {
        const char* utf8;
        bool fits;
        const char* clean;
    } const cases[] = {
        {"plain", true, "plain"},
        {"Café “q” — €5 ×", true, "Café “q” — €5 ×"},
        {"Łódź", false, "Łódź"},
        {"Ελληνικά Привет Việt", false, "Ελληνικά Привет Việt"},
        {"bell\x07 tab\t", true, "bell? tab\t"},       // controls print as "?" either way
        {"bad\x80tail", true, "bad?tail"},             // so do malformed bytes
        {"\xC2\x81", true, "?"},                       // C1 control
        {"smile \xF0\x9F\x98\x80", false, "smile ?"},  // beyond the BMP
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitsWinAnsi(c.utf8), c.fits) << c.utf8;
        EXPECT_EQ(CleanUtf8(c.utf8), c.clean) << c.utf8;
    }
}

TEST(PdfErrors, MessageTextAndHandler) {
    EXPECT_EQ(PdfErrorText(4113, 0), "Error number = 4113 [&H1011]|Detail number = 0 [&H0]{f10}");
    EXPECT_EQ(PdfErrorText(0x1025, 255),
              "Error number = 4133 [&H1025]|Detail number = 255 [&HFF]{f10}");

    PromptQueue prompts;
    prompts.Expect("PDF Error");
    PdfErrorState errors;
    {
        PdfDocument doc = NewPdfDocument(errors);
        ASSERT_TRUE(doc);
        EXPECT_FALSE(errors.failed);
        // Two failing calls: both are recorded, only the first is shown.
        HPDF_SaveToFile(doc.get(), "/nonexistent-folder/x/out.pdf");
        HPDF_GetFont(doc.get(), "No-Such-Font", "WinAnsiEncoding");
    }
    EXPECT_TRUE(errors.failed);
    EXPECT_GE(errors.count, 2);
    ASSERT_EQ(prompts.seen.size(), 1u);
    EXPECT_EQ(prompts.seen[0].title, "PDF Error");
    EXPECT_EQ(prompts.seen[0].text1.rfind("Error number = ", 0), 0u);
}

class PdfLayout : public ::testing::Test {
protected:
    void SetUp() override {
        doc = NewPdfDocument(errors);
        ASSERT_TRUE(doc);
        page = PdfAddPage(doc.get());
        font = PdfStandardFont(doc.get(), "Times-Roman");
        HPDF_Page_SetFontAndSize(page, font, 10);
    }
    PdfErrorState errors;
    PdfDocument doc;
    HPDF_Page page = nullptr;
    HPDF_Font font = nullptr;
};

TEST_F(PdfLayout, LineCounting) {
    EXPECT_EQ(PdfLineCount(page, "", 468), 0);
    EXPECT_EQ(PdfLineCount(page, "One short line.", 468), 1);
    EXPECT_EQ(PdfLineCount(page, "first\r\nsecond\n\nfourth", 468), 4);
    std::string words;
    for (int i = 0; i < 2000; ++i) words += "lorem ";
    const int lines = PdfLineCount(page, words, 468);
    // About 90 characters a line; the whole text counts, not only its first 4000 bytes.
    EXPECT_GT(lines, 100);
    EXPECT_LT(lines, 160);
    // A word wider than the box is cut into pieces that each fit.
    const auto pieces = PdfWrapLines(page, std::string(300, 'W'), 100);
    ASSERT_GT(pieces.size(), 1u);
    std::string joined;
    for (const auto& p : pieces) {
        EXPECT_LE(HPDF_Page_TextWidth(page, p.c_str()), 100.5f);
        joined += p;
    }
    EXPECT_EQ(std::count(joined.begin(), joined.end(), 'W'), 300);
    // Measuring uses the converted text: an em dash is one byte wide, not three.
    EXPECT_FLOAT_EQ(PdfTextWidth(page,
                                 "a\xE2\x80\x94"
                                 "b",
                                 font, 10),
                    HPDF_Page_TextWidth(page,
                                        "a\x97"
                                        "b"));
    EXPECT_FALSE(errors.failed);
}

TEST_F(PdfLayout, WrapCacheKeysOnTextWidthAndFont) {
    std::string words;
    for (int i = 0; i < 300; ++i) words += "word" + std::to_string(i) + (i % 37 ? " " : "\r\n");
    words += std::string(250, 'W') + " caf\xC3\xA9 end";  // an uncut word and a converted letter
    PdfWrapCache cache;
    const auto& first = cache.Wrap(page, words, 468);
    EXPECT_EQ(first, PdfWrapLines(page, words, 468));
    EXPECT_EQ(&cache.Wrap(page, words, 468), &first);  // measured once
    // Another width, size or font is another wrapping, never the remembered one.
    EXPECT_EQ(cache.Wrap(page, words, 200), PdfWrapLines(page, words, 200));
    HPDF_Page_SetFontAndSize(page, font, 14);
    EXPECT_EQ(cache.Wrap(page, words, 468), PdfWrapLines(page, words, 468));
    EXPECT_NE(cache.Wrap(page, words, 468).size(), first.size());
    HPDF_Font bold = PdfStandardFont(doc.get(), "Times-Bold");
    HPDF_Page_SetFontAndSize(page, bold, 10);
    EXPECT_EQ(cache.Wrap(page, words, 468), PdfWrapLines(page, words, 468));
    EXPECT_TRUE(cache.Wrap(nullptr, words, 468).empty());
    EXPECT_FALSE(errors.failed);
}

// Where pdftotext finds each word: its left, right and top edge in points.
struct WordBox {
    double left, right, top;
};
std::multimap<std::string, WordBox> WordBoxes(const std::string& path) {
    const std::string html = Capture("pdftotext -bbox -enc UTF-8 '" + path + "' - 2>/dev/null");
    static const std::regex word(
        R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)<)re");
    std::multimap<std::string, WordBox> boxes;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word);
         it != std::sregex_iterator(); ++it)
        boxes.emplace((*it)[4].str(), WordBox{std::stod((*it)[1].str()), std::stod((*it)[3].str()),
                                              std::stod((*it)[2].str())});
    return boxes;
}

// The text operators are written into the page directly: what they show must
// read back as the same characters at the places the layout asked for, and
// libharu's own calls afterwards must still find the page's state.
TEST_F(PdfLayout, WrittenTextReadsBackInPlace) {
    if (!HaveTool("pdftotext") || !HaveTool("qpdf"))
        GTEST_SKIP() << "poppler-utils or qpdf missing";
    HPDF_Font bold = PdfStandardFont(doc.get(), "Times-Bold");
    HPDF_Page_BeginText(page);
    PdfText(page, "Left(1)", 36, 100, bold, 12, kPdfAlignLeft);
    PdfText(page, "Centre", 306, 100, font, 10, kPdfAlignCentre);
    PdfText(page, "Right\\end", 576, 120, font, 10, kPdfAlignRight);
    PdfText(page, "ignored", 100, 140, font, 10, 5);  // an unknown alignment writes nothing
    HPDF_Page_EndText(page);
    PdfRule(page, 36, 576, 52, 1, 0, 0, 0.1);
    EXPECT_EQ(HPDF_Page_GetCurrentFont(page), font);
    EXPECT_FLOAT_EQ(HPDF_Page_GetCurrentFontSize(page), 10);

    // Blanks and line breaks that end a wrapped line are not shown.
    const std::vector<std::string> lines = {"skipped ", "caf\xE9 (one) \x97 ", "two\r\n",
                                            "\x93three\x94"};
    PdfWriteHeadedLines(page, 72, 200, "Heading", bold, 10, lines, 1, 3, font, 10);
    EXPECT_FLOAT_EQ(HPDF_Page_GetTextLeading(page), 13);
    // A libharu call after them places its text where it asks.
    HPDF_Page_BeginText(page);
    HPDF_Page_TextOut(page, 300, 400, "after");
    HPDF_Page_EndText(page);
    EXPECT_FALSE(errors.failed);

    const std::string path = (std::filesystem::temp_directory_path() /
                              ("vantrel-page-" + std::to_string(getpid()) + ".pdf"))
                                 .string();
    HPDF_SaveToFile(doc.get(), path.c_str());
    const std::vector<std::string> pages = PdfPages(path);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(
        Has(pages[0], "Heading caf\xC3\xA9 (one) \xE2\x80\x94 two \xE2\x80\x9Cthree\xE2\x80\x9D"))
        << pages[0];
    EXPECT_TRUE(Has(pages[0], "Right\\end"));
    EXPECT_FALSE(Has(pages[0], "skipped"));
    EXPECT_FALSE(Has(pages[0], "ignored"));

    const auto boxes = WordBoxes(path);
    std::filesystem::remove(path);
    const auto at = [&boxes](const std::string& word) {
        const auto it = boxes.find(word);
        return it == boxes.end() ? WordBox{-1, -1, -1} : it->second;
    };
    EXPECT_NEAR(at("Left(1)").left, 36, 0.01);
    EXPECT_NEAR((at("Centre").left + at("Centre").right) / 2, 306, 0.01);
    EXPECT_NEAR(at("Right\\end").right, 576, 0.01);
    // Baselines: the heading at 200, then a line every 13 points.
    const double headingTop = at("Heading").top;
    EXPECT_NEAR(at("caf\xC3\xA9").top - headingTop, 13, 0.01);
    EXPECT_NEAR(at("two").top - headingTop, 26, 0.01);
    EXPECT_NEAR(at("\xE2\x80\x9Cthree\xE2\x80\x9D").top - headingTop, 39, 0.01);
    EXPECT_NEAR(at("after").left, 300, 0.01);
    EXPECT_NEAR(at("Centre").top - at("Right\\end").top, -20, 0.01);
}

}  // namespace
