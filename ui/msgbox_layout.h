// The message box's text codes, button list, word wrap and geometry as plain
// functions. Text measurement is passed in, so everything here works (and is
// tested) without a window; the dialog itself lives in msgbox.cpp.
#pragma once

#include <functional>
#include <string>
#include <vector>

// A text with its trailing code group split off: "Warning{f10,t4}" gives the
// text "Warning" and the codes {('F',10), ('T',4)}.
struct MsgCode {
    char letter = 0;   // upper-cased first letter of the code
    double value = 0;  // leading number of the rest, 0 when there is none
};
struct CodedText {
    std::string text;
    std::vector<MsgCode> codes;
};
CodedText SplitCodes(const std::string& raw);

// Codes of the title: dialog background, minimum width and height.
struct TitleCodes {
    int background = 750;
    double minWidth = 0;
    double minHeight = 0;
};
TitleCodes ReadTitleCodes(const std::vector<MsgCode>& codes);

// Codes of the two texts and of the check-box caption (wrap is ignored there).
struct TextCodes {
    int font = 0;
    int color = 0;
    double wrap = 0;  // 0 means no wrapping
};
TextCodes ReadTextCodes(const std::vector<MsgCode>& codes);

// One button of the button list.
struct MsgButton {
    std::string caption;  // with its "&" accelerator marker
    double width = 8.0;
    double height = 1.5;
    int font = 0;
    int background = 750;
    int color = 0;
    char style = 'C';  // G standard, C flat, 3 three-dimensional, R rounded, E elliptic
};
inline constexpr int kMaxButtonItems = 10;
// Parses "*{G,f7}|&Yes|&No": defaults items change the defaults of the
// buttons after them; at most the first ten items are looked at.
std::vector<MsgButton> ParseButtonList(const std::string& list);

// Caption as shown: "&" markers removed, "&&" kept as one "&".
std::string CaptionDisplayText(const std::string& caption);

// Measures a text in a font slot, in character units.
struct TextMeasure {
    std::function<double(int font, const std::string& text)> width;
    std::function<double(int font, const std::string& text)> height;
};

// Wraps every "|" line of text to maxWidth columns at blanks; a word wider
// than maxWidth stands on a line of its own. Lines are joined with "|".
std::string WrapText(const std::string& text, int font, double maxWidth, const TextMeasure& m);

// Option letters of the dialog (case-insensitive).
struct MsgOptions {
    bool centre = false;       // c
    bool rightAlign = false;   // j
    bool sameWidth = false;    // w
    bool wideMargins = false;  // l
    std::string pictureStyle;  // "F", "R", "S" letters passed to the picture
};
MsgOptions ParseMsgOptions(const std::string& options);

struct MsgRect {
    double x = 0, y = 0, w = 0, h = 0;
};

// Everything the dialog needs to build itself.
struct MsgLayout {
    std::string title;
    TitleCodes titleCodes;
    MsgOptions options;
    double width = 0, height = 0;  // client size of the dialog
    double textLeft = 0, contentWidth = 0;

    struct Block {
        std::string text;  // lines separated by "|" (after wrapping)
        TextCodes codes;
        MsgRect rect;
        bool shown = false;
    };
    Block text1, text2, check;
    std::vector<MsgButton> buttons;
    std::vector<MsgRect> buttonRects;
    MsgRect picture;
    bool pictureShown = false;
};

struct MsgInput {
    std::string title, text1, text2, checkText, buttons, options;
    // Size of the picture in columns and rows; 0 when there is none or it did not load.
    double pictureCols = 0, pictureRows = 0;
};

// Measures and places every part of the dialog in character units.
MsgLayout LayoutMessage(const MsgInput& in, const TextMeasure& m);
