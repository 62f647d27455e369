// The translations a native control library needs: text positions between
// UTF-8 bytes and UTF-16 code units, accelerator chords, date-picker formats
// and file-dialog filters.
#include "app/toolkit/ez_native.h"

#include <gtest/gtest.h>

using namespace ez;

TEST(NativeTextPositions, BytesAndCodeUnitsMapBothWays) {
    // "é" is 2 bytes and 1 unit, "€" 3 bytes and 1 unit, "😀" 4 bytes and 2 units.
    const std::string text = "a\xc3\xa9\n\xe2\x82\xac\xf0\x9f\x98\x80z";
    struct Case {
        int byte;
        int lineEnd;
        int unit;
    } cases[] = {
        {0, 2, 0},  {1, 2, 1}, {3, 2, 2},  {4, 2, 4},   // "\n" is "\r\n" in a multi-line box
        {4, 1, 3},  {7, 2, 5}, {11, 2, 7}, {12, 2, 8},  // the emoji is a surrogate pair
        {99, 2, 8},                                     // past the end: the end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf16Position(text, c.byte, c.lineEnd), c.unit) << "byte " << c.byte;
        EXPECT_EQ(Utf8Offset(text, c.unit, c.lineEnd), std::min<int>(c.byte, text.size()))
            << "unit " << c.unit;
    }
    // An offset inside a character stops at its start, never inside it.
    EXPECT_EQ(Utf16Position(text, 2, 2), 1);
    EXPECT_EQ(Utf16Position(text, 9, 2), 5);
    // A stray byte counts as one character; a cut sequence at the end does not overrun.
    EXPECT_EQ(Utf8Offset("\x80x", 1, 1), 1);
    EXPECT_EQ(Utf8Offset("x\xe2\x82", 5, 1), 3);
}

TEST(NativeKeyChords, AcceleratorTextsBecomeChords) {
    struct Case {
        const char* text;
        bool ok;
        bool ctrl, shift, alt;
        const char* key;
    } cases[] = {
        {"F1", true, false, false, false, "F1"},
        {"f7", true, false, false, false, "F7"},
        {"Ctrl+S", true, true, false, false, "S"},
        {"ctrl+shift+del", true, true, true, false, "Delete"},
        {"Alt+F4", true, false, false, true, "F4"},
        {"Ctrl++", true, true, false, false, "+"},
        {"F25", false},
        {"Ctrl+", false},
        {"Hyper+S", false},
        {"Ctrl+SS", false},
        {"", false},
    };
    for (const Case& c : cases) {
        KeyChord k;
        ASSERT_EQ(ParseKeyChord(c.text, k), c.ok) << c.text;
        if (!c.ok) continue;
        EXPECT_EQ(k.ctrl, c.ctrl) << c.text;
        EXPECT_EQ(k.shift, c.shift) << c.text;
        EXPECT_EQ(k.alt, c.alt) << c.text;
        EXPECT_EQ(k.key, c.key) << c.text;
    }
}

TEST(NativeFormats, DateFormatsAndFileFilters) {
    EXPECT_EQ(PickerDateFormat("MM-dd-yyyy"), "MM'-'dd'-'yyyy");
    EXPECT_EQ(PickerDateFormat("HH:mm"), "HH':'mm");
    EXPECT_EQ(PickerDateFormat("h:mm AP"), "h':'mm' 'tt");
    EXPECT_EQ(PickerDateFormat("dd 'of' MM"), "dd' ''of'' 'MM");

    auto f = ParseFileFilter("PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*");
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0].description, "PDF Files (*.pdf)");
    EXPECT_EQ(f[1].patterns, "*.*");
    EXPECT_EQ(DefaultExtension(f), "pdf");
    EXPECT_EQ(DefaultExtension(ParseFileFilter("Backups|*.zip;*.bak")), "zip");
    EXPECT_EQ(DefaultExtension(ParseFileFilter("All Files|*.*")), "");
    EXPECT_EQ(ParseFileFilter("*.txt").size(), 1u);
    EXPECT_TRUE(ParseFileFilter("").empty());
    // A pair without a pattern is left out rather than shown empty.
    EXPECT_EQ(ParseFileFilter("Text|*.txt|Broken|").size(), 1u);
}
