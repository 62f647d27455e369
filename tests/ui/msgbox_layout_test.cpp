// Format codes, button lists, word wrap and geometry of the message box,
// measured with a fixed fake font (one column per character, bold 1.2).
#include "ui/msgbox_layout.h"

#include <gtest/gtest.h>

#include "app/toolkit/ez.h"
#include "ui/msgbox.h"

namespace {

TextMeasure FakeMeasure() {
    return {[](int font, const std::string& s) {
                return static_cast<double>(s.size()) * (font == 7 ? 1.2 : 1.0);
            },
            [](int font, const std::string&) { return font == 10 ? 1.25 : 1.0; }};
}

std::string CodesOf(const CodedText& ct) {
    std::string out;
    for (const MsgCode& c : ct.codes) {
        if (!out.empty()) out += ",";
        out += c.letter;
        out += std::to_string(static_cast<int>(c.value));
    }
    return out;
}

TEST(MsgCodes, SplitsTextAndCodesAtTheFirstBrace) {
    struct Case {
        const char* raw;
        const char* text;
        const char* codes;
    } cases[] = {
        {"Warning!", "Warning!", ""},
        {"  Text to show  {f10,t4}", "Text to show", "F10,T4"},
        {".{f10,t4}", ".", "F10,T4"},
        {"Title{ w60 , h }", "Title", "W60,H0"},
        {"x{f7x}", "x", "F7"},
        {"*{G,f7}", "*", "G0,F7"},
        {"a{,, q5}", "a", "Q5"},
        // Only the first "{" counts; a later group is part of the first code.
        {"a{b}c{f2}", "a", "B0"},
        {"{f6}", "", "F6"},
        {"Line one|Line two|{f7}", "Line one|Line two|", "F7"},
    };
    for (const Case& c : cases) {
        CodedText ct = SplitCodes(c.raw);
        EXPECT_EQ(ct.text, c.text) << c.raw;
        EXPECT_EQ(CodesOf(ct), c.codes) << c.raw;
    }
}

TEST(MsgCodes, TitleAndTextCodesIgnoreUnknownLetters) {
    TitleCodes t = ReadTitleCodes(SplitCodes("T{W60,H20.5,Z9}").codes);
    EXPECT_EQ(t.background, 750);
    EXPECT_DOUBLE_EQ(t.minWidth, 60);
    EXPECT_DOUBLE_EQ(t.minHeight, 20.5);
    EXPECT_EQ(ReadTitleCodes(SplitCodes("T{b36}").codes).background, 36);

    TextCodes x = ReadTextCodes(SplitCodes("Unable to create subdirectory.{f7,t4}").codes);
    EXPECT_EQ(x.font, 7);
    EXPECT_EQ(x.color, 4);
    EXPECT_EQ(x.wrap, 0);
    TextCodes y = ReadTextCodes(SplitCodes("x{W40,B3,Fbad}").codes);
    EXPECT_EQ(y.font, 0);
    EXPECT_DOUBLE_EQ(y.wrap, 40);
}

TEST(MsgButtons, GrammarOfTheButtonList) {
    auto b = ParseButtonList("&OK{G,f7}");
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].caption, "&OK");
    EXPECT_EQ(b[0].style, 'G');
    EXPECT_EQ(b[0].font, 7);
    EXPECT_DOUBLE_EQ(b[0].width, 8.0);
    EXPECT_DOUBLE_EQ(b[0].height, 1.5);

    // "," separates codes only inside braces.
    b = ParseButtonList("*{G,f7}|&Yes|&No, Maybe Later");
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[1].caption, "&No, Maybe Later");
    EXPECT_EQ(b[1].style, 'G');
    EXPECT_EQ(b[1].font, 7);

    // Defaults apply to the buttons after them; a button's own codes only to itself.
    b = ParseButtonList("&A{W12,H2,B4,T9,E}|*{3,f6}|&B|&C{R}| |&D");
    ASSERT_EQ(b.size(), 4u);
    EXPECT_EQ(b[0].style, 'E');
    EXPECT_DOUBLE_EQ(b[0].width, 12);
    EXPECT_DOUBLE_EQ(b[0].height, 2);
    EXPECT_EQ(b[0].background, 4);
    EXPECT_EQ(b[0].color, 9);
    EXPECT_EQ(b[1].style, '3');
    EXPECT_EQ(b[1].font, 6);
    EXPECT_DOUBLE_EQ(b[1].width, 8);
    EXPECT_EQ(b[2].style, 'R');
    EXPECT_EQ(b[3].style, '3');
    EXPECT_EQ(b[3].caption, "&D");

    EXPECT_TRUE(ParseButtonList("").empty());
    EXPECT_TRUE(ParseButtonList("*{G}").empty());
    EXPECT_EQ(ParseButtonList("&A{W0}")[0].width, 0);
}

TEST(MsgButtons, AtMostTenItemsAreRead) {
    EXPECT_EQ(ParseButtonList("1|2|3|4|5|6|7|8|9|10|11|12").size(), 10u);
    // The defaults item takes one of the ten places.
    EXPECT_EQ(ParseButtonList("*{G}|1|2|3|4|5|6|7|8|9|10|11").size(), 9u);
    // Empty items take places too.
    EXPECT_EQ(ParseButtonList("1||||||||||11").size(), 1u);
}

TEST(MsgButtons, CaptionAccelerators) {
    EXPECT_EQ(CaptionDisplayText("&Yes"), "Yes");
    EXPECT_EQ(CaptionDisplayText("R&&D"), "R&D");
    EXPECT_EQ(CaptionDisplayText("&&&Save"), "&Save");
    EXPECT_EQ(CaptionDisplayText("End&"), "End");
    EXPECT_EQ(CaptionDisplayText("&No, Maybe Later"), "No, Maybe Later");
}

TEST(MsgWrap, WrapsAtBlanksByMeasuredWidth) {
    struct Case {
        const char* text;
        double width;
        const char* wrapped;
    } cases[] = {
        {"aaa bbb ccc", 10, "aaa bbb|ccc"},
        {"aaaaa bbbb", 10, "aaaaa bbbb"},  // exactly W still fits
        {"short", 10, "short"},
        {"supercalifragilistic word", 10, "supercalifragilistic|word"},
        {"hi supercalifragilistic there", 10, "hi|supercalifragilistic|there"},
        {"aaaa bbbb|cccc dddd eeee", 10, "aaaa bbbb|cccc dddd|eeee"},
        {"line one|", 10, "line one|"},  // the empty last line stays
        {"|x", 10, "|x"},
        {"a  b", 10, "a  b"},
        {"trailing blank ", 9, "trailing|blank"},
        {"", 10, ""},
        {"no wrapping at all here", 0, "no wrapping at all here"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapText(c.text, 0, c.width, FakeMeasure()), c.wrapped) << c.text;
    // Measured in the text's own font: bold is wider here.
    EXPECT_EQ(WrapText("aaaa bbbb", 7, 10, FakeMeasure()), "aaaa|bbbb");
}

TEST(MsgOptionsLetters, AnyCaseAnyOrder) {
    MsgOptions o = ParseMsgOptions("wJcL");
    EXPECT_TRUE(o.centre && o.rightAlign && o.sameWidth && o.wideMargins);
    EXPECT_EQ(ParseMsgOptions("fRsq").pictureStyle, "FRS");
    MsgOptions none = ParseMsgOptions("xyz");
    EXPECT_FALSE(none.centre || none.rightAlign || none.sameWidth || none.wideMargins);
}

MsgLayout Lay(const std::string& title, const std::string& t1, const std::string& t2,
              const std::string& check, const std::string& buttons, const std::string& opts,
              double picW = 0, double picH = 0) {
    return LayoutMessage({title, t1, t2, check, buttons, opts, picW, picH}, FakeMeasure());
}

TEST(MsgGeometry, ButtonRowPlacementByOption) {
    // "Hello world" is 11 columns (+1); one 8-column button.
    struct Case {
        const char* opts;
        double buttonX;
    } cases[] = {{"", 1}, {"C", 3}, {"J", 5}, {"CJ", 5}};
    for (const Case& c : cases) {
        MsgLayout L = Lay("T", "Hello world", "", "", "&OK{G,f7}", c.opts);
        EXPECT_DOUBLE_EQ(L.width, 14) << c.opts;
        EXPECT_DOUBLE_EQ(L.height, 0.5 + 1 + 1.5 + 1.0) << c.opts;
        ASSERT_EQ(L.buttonRects.size(), 1u);
        EXPECT_DOUBLE_EQ(L.buttonRects[0].x, c.buttonX) << c.opts;
        EXPECT_DOUBLE_EQ(L.buttonRects[0].y, L.height - 0.5 - 1.5) << c.opts;
    }
}

TEST(MsgGeometry, ButtonWidthsAndRow) {
    // A caption wider than W widens its button; with "w" all take the widest.
    MsgLayout L = Lay("T", "x", "", "", "&Yes|&No, Maybe Later", "");
    EXPECT_DOUBLE_EQ(L.buttons[0].width, 8);
    EXPECT_DOUBLE_EQ(L.buttons[1].width, 16);
    EXPECT_DOUBLE_EQ(L.buttonRects[1].x, L.buttonRects[0].x + 8 + 1);
    EXPECT_DOUBLE_EQ(L.contentWidth, 8 + 1 + 16);

    MsgLayout W = Lay("T", "x", "", "", "&Yes|&No, Maybe Later", "w");
    EXPECT_DOUBLE_EQ(W.buttons[0].width, 16);
    EXPECT_DOUBLE_EQ(W.buttons[1].width, 16);
    EXPECT_DOUBLE_EQ(W.contentWidth, 33);

    // The tallest button sets the row height; all bottoms line up.
    MsgLayout H = Lay("T", "x", "", "", "&A{H3}|&B", "");
    EXPECT_DOUBLE_EQ(H.height, 0.5 + 1 + 3 + 1.0);
    EXPECT_DOUBLE_EQ(H.buttonRects[0].y + 3, H.buttonRects[1].y + 1.5);
}

TEST(MsgGeometry, StackingMarginsAndCheckBox) {
    MsgLayout L = Lay("T", "First|second", "Two{f10}", "Do not ask again", "&OK", "C");
    EXPECT_DOUBLE_EQ(L.text1.rect.y, 0.5);
    EXPECT_DOUBLE_EQ(L.text1.rect.h, 2);
    EXPECT_DOUBLE_EQ(L.text2.rect.y, 2.5);
    EXPECT_DOUBLE_EQ(L.text2.rect.h, 1.25);
    EXPECT_DOUBLE_EQ(L.check.rect.y, 3.75);
    EXPECT_DOUBLE_EQ(L.check.rect.w, 16 + 3);
    EXPECT_DOUBLE_EQ(L.check.rect.h, 1.5);
    EXPECT_DOUBLE_EQ(L.contentWidth, 19);
    EXPECT_DOUBLE_EQ(L.check.rect.x, 1);
    EXPECT_DOUBLE_EQ(L.height, 0.5 + 2 + 1.25 + 1.5 + 1.5 + 1.0);
    // Texts are as wide as the content; the check box is centred with "c".
    EXPECT_DOUBLE_EQ(L.text1.rect.w, 19);

    // An empty text takes no room; "l" doubles the margins.
    MsgLayout E = Lay("T", "", "Only{f6}", "", "&OK", "l");
    EXPECT_FALSE(E.text1.shown);
    EXPECT_DOUBLE_EQ(E.text2.rect.y, 1.0);
    EXPECT_DOUBLE_EQ(E.textLeft, 2.0);
    EXPECT_DOUBLE_EQ(E.width, 2 + 8 + 2);
    EXPECT_DOUBLE_EQ(E.height, 1 + 1 + 1.5 + 2.0);

    // A text ending in "|" keeps an empty last line.
    EXPECT_DOUBLE_EQ(Lay("T", "abc|", "", "", "&OK", "").text1.rect.h, 2);
    // No buttons: only the margins around the text.
    EXPECT_DOUBLE_EQ(Lay("T", "abc", "", "", "", "").height, 0.5 + 1 + 1.0);
}

TEST(MsgGeometry, TitleMinimumsAndWrapping) {
    MsgLayout L = Lay("Wide{W60}", "Hello world", "", "", "&OK", "C");
    EXPECT_EQ(L.title, "Wide");
    EXPECT_DOUBLE_EQ(L.width, 60);
    EXPECT_DOUBLE_EQ(L.contentWidth, 58);
    EXPECT_DOUBLE_EQ(L.buttonRects[0].x, 1 + (58 - 8) / 2.0);
    EXPECT_DOUBLE_EQ(Lay("Plain", "Hello world", "", "", "&OK", "").width, 14);

    MsgLayout H = Lay("Tall{H20}", "Hello world", "", "", "&OK", "");
    EXPECT_DOUBLE_EQ(H.height, 20);
    EXPECT_DOUBLE_EQ(H.text1.rect.y, 0.5 + (20 - 4.0) / 2);
    EXPECT_DOUBLE_EQ(H.buttonRects[0].y, 20 - 0.5 - 1.5);
    // A W or H smaller than the contents changes nothing.
    EXPECT_DOUBLE_EQ(Lay("T{W3,H1}", "Hello world", "", "", "&OK", "").width, 14);

    MsgLayout Wr = Lay("T", "aaa bbb ccc{w10}", "", "", "&OK", "");
    EXPECT_EQ(Wr.text1.text, "aaa bbb|ccc");
    EXPECT_DOUBLE_EQ(Wr.text1.rect.h, 2);
    EXPECT_DOUBLE_EQ(Wr.contentWidth, 8);
}

TEST(MsgGeometry, PictureAtTheLeft) {
    MsgLayout L = Lay("T", "Hello world", "", "", "&OK", "", 4, 6);
    EXPECT_TRUE(L.pictureShown);
    EXPECT_DOUBLE_EQ(L.textLeft, 1 + 6);
    EXPECT_DOUBLE_EQ(L.picture.x, 1);
    EXPECT_DOUBLE_EQ(L.picture.w, 6);
    EXPECT_DOUBLE_EQ(L.width, 6 + 1 + 12 + 1);
    EXPECT_DOUBLE_EQ(L.height, 6 + 1.0);  // the picture is taller than text + buttons
    EXPECT_FALSE(Lay("T", "x", "", "", "&OK", "", 0, 0).pictureShown);
}

// No toolkit and no hook (command-line use): the message goes to stderr and
// the default button answers, without a crash.
TEST(MsgBoxWithoutToolkit, DefaultButtonAnswers) {
    ASSERT_FALSE(EZ_ISRUNNING());
    struct Case {
        const char* buttons;
        int defaultButton;
        int expected;
    } cases[] = {
        {"*{G,f7}|&Yes|&No", 2, 2},
        {"*{G,f7}|&Yes|&No", -2, 2},
        {"*{G,f7}|&Yes|&No", 3, 99},
        {"*{G,f7}|&Yes|&No", 0, 99},
        {"", 1, 99},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        int r = DgMsgBox("", "Warning!{W40}", "Line|two{f10,t4}", "More{f6}", "", c.buttons, "",
                         c.defaultButton, "C");
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(r, c.expected) << c.buttons << " " << c.defaultButton;
        EXPECT_NE(err.find("Warning!"), std::string::npos);
        EXPECT_EQ(err.find("{"), std::string::npos) << err;
    }
    DgMsgOk("Note", "Done.", "");  // returns without a window
}

}  // namespace
