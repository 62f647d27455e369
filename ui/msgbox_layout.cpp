// Format codes, button list, word wrap and geometry of the message box.
#include "ui/msgbox_layout.h"

#include <algorithm>
#include <cctype>

#include "app/base/text_util.h"

CodedText SplitCodes(const std::string& raw) {
    CodedText out;
    size_t brace = raw.find('{');
    if (brace == std::string::npos) {
        out.text = Trim(raw);
        return out;
    }
    out.text = Trim(raw.substr(0, brace));
    // The closing "}" is not looked for: it trails the last code, and only a
    // code's first letter and leading number are read.
    std::string list = Trim(raw.substr(brace + 1));
    for (const std::string& part : Split(list, ",")) {
        std::string code = Trim(part);
        if (code.empty()) continue;
        MsgCode c;
        c.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(code[0])));
        // Codes may come from text that holds user input (a "{" in call
        // letters): numbers beyond any sensible size are held to a range that
        // every use (an int font or colour slot, a width) can take.
        c.value = std::clamp(ValD(std::string_view(code).substr(1)), -1e6, 1e6);
        out.codes.push_back(c);
    }
    return out;
}

TitleCodes ReadTitleCodes(const std::vector<MsgCode>& codes) {
    TitleCodes t;
    for (const MsgCode& c : codes) {
        switch (c.letter) {
            case 'B':
                t.background = static_cast<int>(c.value);
                break;
            case 'W':
                t.minWidth = c.value;
                break;
            case 'H':
                t.minHeight = c.value;
                break;
            default:
                break;
        }
    }
    return t;
}

TextCodes ReadTextCodes(const std::vector<MsgCode>& codes) {
    TextCodes t;
    for (const MsgCode& c : codes) {
        switch (c.letter) {
            case 'F':
                t.font = static_cast<int>(c.value);
                break;
            case 'T':
                t.color = static_cast<int>(c.value);
                break;
            case 'W':
                t.wrap = c.value;
                break;
            default:
                break;
        }
    }
    return t;
}

namespace {

// Applies button codes to a button (used for defaults items and buttons alike).
void ApplyButtonCodes(MsgButton& b, const std::vector<MsgCode>& codes) {
    for (const MsgCode& c : codes) {
        switch (c.letter) {
            case 'W':
                b.width = c.value;
                break;
            case 'H':
                b.height = c.value;
                break;
            case 'F':
                b.font = static_cast<int>(c.value);
                break;
            case 'B':
                b.background = static_cast<int>(c.value);
                break;
            case 'T':
                b.color = static_cast<int>(c.value);
                break;
            case 'G':
            case '3':
            case 'R':
            case 'E':
            case 'C':
                b.style = c.letter;
                break;
            default:
                break;
        }
    }
}

}  // namespace

std::vector<MsgButton> ParseButtonList(const std::string& list) {
    std::vector<MsgButton> buttons;
    if (list.empty()) return buttons;
    MsgButton defaults;
    std::vector<std::string> items = Split(list, "|");
    if (items.size() > kMaxButtonItems) items.resize(kMaxButtonItems);
    for (const std::string& raw : items) {
        std::string item = Trim(raw);
        if (StartsWith(item, "*{")) {
            ApplyButtonCodes(defaults, SplitCodes(item).codes);
            continue;
        }
        if (item.empty()) continue;
        CodedText ct = SplitCodes(item);
        MsgButton b = defaults;
        ApplyButtonCodes(b, ct.codes);
        b.caption = ct.text;
        buttons.push_back(b);
    }
    return buttons;
}

std::string CaptionDisplayText(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

std::string WrapText(const std::string& text, int font, double maxWidth, const TextMeasure& m) {
    if (maxWidth <= 0) return text;
    auto tooWide = [&](const std::string& s) { return m.width(font, s) > maxWidth; };
    std::string out;
    auto emit = [&out](const std::string& line) { out += line + "|"; };
    for (const std::string& line : Split(text, "|")) {
        std::string current;
        std::string word;
        for (char ch : line) {
            if (ch != ' ') {
                word += ch;
                continue;
            }
            if (!Trim(word).empty()) {
                std::string tryLine = Trim(current + word);
                if (tooWide(tryLine) && !Trim(current).empty()) {
                    emit(Trim(current));
                    current = Trim(word);
                } else {
                    current = tryLine;
                }
                word.clear();
            }
            word += ch;
        }
        std::string tryLine = Trim(current + word);
        if (tooWide(tryLine) && !Trim(current).empty() && !Trim(word).empty()) {
            emit(Trim(current));
            emit(Trim(word));
        } else {
            emit(tryLine);
        }
    }
    // Every line was emitted with a "|" after it; the last one closes the text.
    out.pop_back();
    return out;
}

MsgOptions ParseMsgOptions(const std::string& options) {
    MsgOptions o;
    for (char ch : options) {
        switch (std::tolower(static_cast<unsigned char>(ch))) {
            case 'c':
                o.centre = true;
                break;
            case 'j':
                o.rightAlign = true;
                break;
            case 'w':
                o.sameWidth = true;
                break;
            case 'l':
                o.wideMargins = true;
                break;
            case 'f':
            case 'r':
            case 's':
                o.pictureStyle += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
                break;
            default:
                break;
        }
    }
    return o;
}

namespace {

// Width and height of a "|"-separated text block; an empty line still takes
// one line of height.
void MeasureBlock(const std::string& text, int font, const TextMeasure& m, double extraWidth,
                  double& w, double& h) {
    w = 0;
    h = 0;
    for (const std::string& line : Split(text, "|")) {
        w = std::max(w, m.width(font, line) + extraWidth);
        h += m.height(font, line.empty() ? std::string(" ") : line);
    }
}

}  // namespace

MsgLayout LayoutMessage(const MsgInput& in, const TextMeasure& m) {
    MsgLayout L;
    CodedText title = SplitCodes(in.title);
    L.title = title.text;
    L.titleCodes = ReadTitleCodes(title.codes);
    L.options = ParseMsgOptions(in.options);

    auto readBlock = [&](const std::string& raw, MsgLayout::Block& b, bool wraps) {
        CodedText ct = SplitCodes(raw);
        b.codes = ReadTextCodes(ct.codes);
        if (!wraps) b.codes.wrap = 0;
        b.text = b.codes.wrap > 0 ? WrapText(ct.text, b.codes.font, b.codes.wrap, m) : ct.text;
        b.shown = !ct.text.empty();
    };
    readBlock(in.text1, L.text1, true);
    readBlock(in.text2, L.text2, true);
    readBlock(in.checkText, L.check, false);

    // Picture: shown only when it is wider than its 2-column gap.
    double pw = 0, ph = 0;
    if (in.pictureCols > 0 && in.pictureRows > 0) {
        pw = in.pictureCols + 2;
        ph = in.pictureRows;
    }
    L.pictureShown = pw > 2;
    if (!L.pictureShown) pw = ph = 0;

    // Text blocks and check box.
    double t1w = 0, t1h = 0, t2w = 0, t2h = 0, cbw = 0, cbh = 0;
    if (L.text1.shown) MeasureBlock(L.text1.text, L.text1.codes.font, m, 1, t1w, t1h);
    if (L.text2.shown) MeasureBlock(L.text2.text, L.text2.codes.font, m, 1, t2w, t2h);
    if (L.check.shown) {
        MeasureBlock(L.check.text, L.check.codes.font, m, 3, cbw, cbh);
        cbh += 0.5;
    }

    // Buttons: a caption wider than the button's W widens it.
    L.buttons = ParseButtonList(in.buttons);
    double widest = 0, rowH = 0;
    for (MsgButton& b : L.buttons) {
        double need = m.width(b.font, CaptionDisplayText(b.caption)) + 1;
        if (need > b.width) b.width = need;
        widest = std::max(widest, b.width);
    }
    if (L.options.sameWidth)
        for (MsgButton& b : L.buttons) b.width = widest;
    double rowW = 0;
    for (const MsgButton& b : L.buttons) {
        rowW += b.width;
        rowH = std::max(rowH, b.height);
    }
    if (L.buttons.size() > 1) rowW += static_cast<double>(L.buttons.size() - 1);

    const double mx = L.options.wideMargins ? 2.0 : 1.0;
    const double my = L.options.wideMargins ? 1.0 : 0.5;
    L.textLeft = pw + mx;
    double cw = std::max({t1w, t2w, cbw, rowW});
    L.width = pw + mx + cw + mx;
    if (L.titleCodes.minWidth > L.width) {
        cw += L.titleCodes.minWidth - L.width;
        L.width = L.titleCodes.minWidth;
    }
    L.contentWidth = cw;

    double y = my;
    L.text1.rect = {L.textLeft, y, cw, t1h};
    y += t1h;
    L.text2.rect = {L.textLeft, y, cw, t2h};
    y += t2h;
    double checkX = L.textLeft + (L.options.centre ? (cw - cbw) / 2 : 0);
    L.check.rect = {checkX, y, cbw, cbh};
    y += cbh;

    L.height = std::max(ph + 2 * my, y + rowH + 2 * my);
    if (L.titleCodes.minHeight > L.height) {
        double shift = (L.titleCodes.minHeight - L.height) / 2;
        L.text1.rect.y += shift;
        L.text2.rect.y += shift;
        L.check.rect.y += shift;
        L.height = L.titleCodes.minHeight;
    }

    double x = L.textLeft;
    if (L.options.rightAlign)
        x = L.width - mx - rowW;
    else if (L.options.centre)
        x = L.textLeft + (cw - rowW) / 2;
    for (const MsgButton& b : L.buttons) {
        L.buttonRects.push_back({x, L.height - my - b.height, b.width, b.height});
        x += b.width + 1;
    }

    L.picture = {mx, my, pw, ph};
    return L;
}
