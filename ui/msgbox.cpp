// Form DGMSGBOX1: the program's own message box. Sizes itself to its texts
// and buttons (see msgbox_layout.h) and returns the number of the button
// chosen, 99 for Esc or the close control, negated while the check box is on.
#include "ui/msgbox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/text_util.h"
#include "ui/file_helpers.h"
#include "ui/forms.h"
#include "ui/msgbox_layout.h"
#include "ui/resources.h"

namespace {

constexpr const char* kForm = kMsgBoxForm;
constexpr int kNothingChosen = 1000;
constexpr int kDismissed = 99;
// The layout's margins (1 column, half a row) are narrow next to today's
// widgets; the window adds this frame around the whole layout on each side.
constexpr double kFrameCols = 0.5;
constexpr double kFrameRows = 0.3;

// The open dialog's inputs and result; exists only while the dialog is open.
struct MsgBoxState {
    MsgLayout layout;
    std::string picture;
    int defaultButton = 0;
    int result = 0;
    int focusButton = 0;  // id of the button that had the focus last
};

std::optional<MsgBoxState>& OpenBox() {
    static std::optional<MsgBoxState> state;
    return state;
}

MsgShownHook& ShownHook() {
    static MsgShownHook hook;
    return hook;
}

TextMeasure ToolkitMeasure() {
    return {[](int font, const std::string& s) { return EZ_TEXTWIDTH(font, s); },
            [](int font, const std::string& s) { return EZ_TEXTHEIGHT(font, s); }};
}

// Reads the pixel size of a PNG, GIF or BMP file from its header.
bool ImagePixelSize(const std::string& path, int& w, int& h) {
    unsigned char b[32] = {};
    File in;
    if (!in.Open(path, File::Mode::Read)) return false;
    size_t got = 0;
    while (got < sizeof b) {
        const int64_t n = in.Read(b + got, sizeof b - got);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    if (got < 26) return false;
    auto be32 = [&](int i) { return (b[i] << 24) | (b[i + 1] << 16) | (b[i + 2] << 8) | b[i + 3]; };
    auto le32 = [&](int i) { return b[i] | (b[i + 1] << 8) | (b[i + 2] << 16) | (b[i + 3] << 24); };
    if (b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') {
        w = be32(16);
        h = be32(20);
    } else if (b[0] == 'G' && b[1] == 'I' && b[2] == 'F') {
        w = b[6] | (b[7] << 8);
        h = b[8] | (b[9] << 8);
    } else if (b[0] == 'B' && b[1] == 'M') {
        w = le32(18);
        h = std::abs(le32(22));
    } else {
        return false;
    }
    return w > 0 && h > 0;
}

// Size of the picture in character units, 0 x 0 when it cannot be loaded.
void PictureCells(const std::string& picture, double& cols, double& rows) {
    cols = rows = 0;
    if (picture.empty()) return;
    std::string path = picture;
    if (!IsAbsolutePath(path)) path = FindResource("Images/" + picture);
    int w = 0, h = 0;
    if (!ImagePixelSize(path, w, h)) return;
    cols = EZ_PIXELSTOCOLS(w);
    // The toolkit converts columns only; a row (one line of the base font) is
    // taken as twice an average character width, as in common UI fonts.
    rows = EZ_PIXELSTOCOLS(h) / 2;
}

std::string PlainText(const std::string& raw) {
    return ReplaceAll(SplitCodes(raw).text, "|", "\n");
}

// Without a running toolkit (command-line use, plain tests without a hook)
// the message goes to stderr and the default button answers.
int PrintInstead(const MsgRequest& r) {
    std::fprintf(stderr, "[%s] %s\n", PlainText(r.title).c_str(), PlainText(r.text1).c_str());
    if (!Trim(r.text2).empty()) std::fprintf(stderr, "%s\n", PlainText(r.text2).c_str());
    int n = std::abs(r.defaultButton);
    int count = static_cast<int>(ParseButtonList(r.buttons).size());
    return n >= 1 && n <= count ? n : kDismissed;
}

int SignedChoice(int n) {
    auto& box = OpenBox();
    bool checked = box->layout.check.shown && EZ_GETCHECK(kForm, kMsgCheckId);
    return checked ? -n : n;
}

void Choose(int n) {
    OpenBox()->result = SignedChoice(n);
    EZ_UNLOADFORM(kForm);
}

int ButtonNumber(int id) {
    auto& box = OpenBox();
    int n = id - (kMsgFirstButtonId - 1);
    return n >= 1 && n <= static_cast<int>(box->layout.buttons.size()) ? n : 0;
}

void FocusDefault() {
    auto& box = OpenBox();
    if (box->focusButton && EZ_CONTROLEXISTS(kForm, box->focusButton))
        EZ_SETFOCUS(kForm, box->focusButton);
}

// Message texts carry no accelerators: "&&" and a single "&" both show one
// "&". Labels read "&" as an accelerator marker, so every "&" is doubled.
std::string LabelText(const std::string& text) {
    std::string plain = ReplaceAll(ReplaceAll(text, "&&", "&"), "|", "\n");
    return ReplaceAll(plain, "&", "&&");
}

void PlaceLabel(int id, const MsgLayout::Block& b, bool centre) {
    const MsgRect& r = b.rect;
    EZ_CONTROL(kForm, id, EzKind::Label, LabelText(b.text), r.x + kFrameCols, r.y + kFrameRows, r.w,
               r.h, centre ? "C" : "");
    if (b.codes.font != 0) EZ_SETFONT(kForm, id, b.codes.font);
    if (b.codes.color != 0) EZ_SETCOLOR(kForm, id, b.codes.color, -1);
}

}  // namespace

MsgShownHook SetMsgShownHook(MsgShownHook hook) {
    MsgShownHook previous = std::move(ShownHook());
    ShownHook() = std::move(hook);
    return previous;
}

void InstallMessageBox() {
    SetPromptProc([](PromptKind kind, const MsgRequest& r) {
        switch (kind) {
            case PromptKind::Ok:
                DgMsgOk(r.title, r.text1, r.text2);
                return 1;
            case PromptKind::Simple:
                EZ_MSGBOX(EZ_ISRUNNING() ? EZ_CURRENTFORM() : std::string(), r.text1, r.title);
                return 1;
        }
        return 0;
    });
}

int DgMsgBox(const std::string& parent, const std::string& title, const std::string& text1,
             const std::string& text2, const std::string& checkText, const std::string& buttons,
             const std::string& picture, int defaultButton, const std::string& options) {
    MsgRequest request{parent, title, text1, text2, checkText, buttons, defaultButton};
    if (CurrentMsgHook()) return CurrentMsgHook()(request);
    // One dialog at a time: a second request while one is open cannot be shown.
    if (!EZ_ISRUNNING() || OpenBox()) return PrintInstead(request);

    MsgInput in{title, text1, text2, checkText, buttons, options, 0, 0};
    PictureCells(picture, in.pictureCols, in.pictureRows);
    MsgBoxState state;
    state.layout = LayoutMessage(in, ToolkitMeasure());
    state.picture = picture;
    state.defaultButton = defaultButton;
    state.result = defaultButton;
    int n = std::abs(defaultButton);
    if (n >= 1 && n <= static_cast<int>(state.layout.buttons.size()))
        state.focusButton = kMsgFirstButtonId - 1 + n;
    OpenBox() = std::move(state);

    // Modal over the given form, else over whichever form is active.
    std::string owner = !parent.empty() && EZ_FORMEXISTS(parent) ? parent : EZ_CURRENTFORM();
    const MsgLayout& L = OpenBox()->layout;
    // Modal and blocking, also with no form open at all (early start-up).
    EZ_FORM(kForm, owner, L.title, -1, -1, L.width + 2 * kFrameCols, L.height + 2 * kFrameRows,
            "TM");

    int result = OpenBox()->result;
    OpenBox().reset();
    if (std::abs(result) == kNothingChosen) result = result < 0 ? -kDismissed : kDismissed;
    return result;
}

int DgMsgAsk(const std::string& title, const std::string& text1, const std::string& text2,
             const std::string& checkText, const std::string& buttons, int defaultButton) {
    std::string parent = EZ_ISRUNNING() ? EZ_CURRENTFORM() : std::string();
    int r = DgMsgBox(parent, title, text1, text2, checkText, buttons, "", defaultButton, "C");
    return r == -kDismissed ? 3 : r;
}

void DgMsgOk(const std::string& title, const std::string& text1, const std::string& text2) {
    std::string parent = EZ_ISRUNNING() ? EZ_CURRENTFORM() : std::string();
    DgMsgBox(parent, title, text1, text2, "", "&OK{G,f7}", "", 1, "C");
}

static void MsgBox_Design() {
    auto& box = OpenBox();
    if (!box) return;
    const MsgLayout& L = box->layout;
    if (L.titleCodes.background != 750) EZ_SETCOLOR(kForm, 0, -1, L.titleCodes.background);
    if (L.pictureShown)
        EZ_CONTROL(kForm, kMsgPictureId, EzKind::Picture, box->picture, L.picture.x + kFrameCols,
                   L.picture.y + kFrameRows, L.picture.w, L.picture.h, L.options.pictureStyle);
    if (L.text1.shown) PlaceLabel(kMsgText1Id, L.text1, L.options.centre);
    if (L.text2.shown) PlaceLabel(kMsgText2Id, L.text2, L.options.centre);
    if (L.check.shown) {
        const MsgRect& r = L.check.rect;
        // The box and its gap may take a little more than the 3 columns
        // allowed for them: the control reaches into the margin rather than
        // clipping its caption (the layout itself is unchanged).
        double w = std::min(r.w + 1, L.width + kFrameCols - r.x);
        EZ_CONTROL(kForm, kMsgCheckId, EzKind::Check, ReplaceAll(L.check.text, "|", "\n"),
                   r.x + kFrameCols, r.y + kFrameRows, w, r.h);
        if (L.check.codes.font != 0) EZ_SETFONT(kForm, kMsgCheckId, L.check.codes.font);
        if (L.check.codes.color != 0) EZ_SETCOLOR(kForm, kMsgCheckId, L.check.codes.color, -1);
        if (box->defaultButton < 0) EZ_SETCHECK(kForm, kMsgCheckId, true);
    }
    for (size_t i = 0; i < L.buttons.size(); ++i) {
        const MsgButton& b = L.buttons[i];
        const MsgRect& r = L.buttonRects[i];
        int id = kMsgFirstButtonId + static_cast<int>(i);
        EZ_CONTROL(kForm, id, EzKind::Button, b.caption, r.x + kFrameCols, r.y + kFrameRows, r.w,
                   r.h);
        if (b.font != 0) EZ_SETFONT(kForm, id, b.font);
        if (b.style != 'G') EZ_SETCOLOR(kForm, id, b.color, b.background);
    }
}

static void MsgBox_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    auto& box = OpenBox();
    if (!box) return;
    switch (ev) {
        case EzEvent::Loaded:
            if (id == 0) {
                box->result = kNothingChosen;
                FocusDefault();
            }
            break;
        case EzEvent::Shown:
            if (id == 0) {
                FocusDefault();
                EZ_BRINGTOFRONT(kForm);
                if (ShownHook()) ShownHook()();
            }
            break;
        case EzEvent::GotFocus:
            if (ButtonNumber(id)) box->focusButton = id;
            break;
        case EzEvent::Click:
            if (int n = ButtonNumber(id)) {
                Choose(n);
            } else if (id == kMsgCheckId) {
                FocusDefault();
            }
            break;
        case EzEvent::Key:
            if (value == kKeyEsc) {
                cancel = 1;
                Choose(kDismissed);
            } else if (value == kKeyEnter) {
                // Enter presses the focused button and nothing else.
                cancel = 1;
                if (int n = ButtonNumber(id)) Choose(n);
            }
            break;
        case EzEvent::Close:
            if (box->result == kNothingChosen) box->result = SignedChoice(kDismissed);
            break;
        default:
            break;
    }
}

namespace {
// Button n of the button list is kMsgFirstButtonId + n - 1 (at most ten).
constexpr ControlName kControls[] = {
    {"Text1", kMsgText1Id},
    {"Text2", kMsgText2Id},
    {"Check", kMsgCheckId},
    {"Picture", kMsgPictureId},
    {"Button1", kMsgFirstButtonId},
    {"Button2", kMsgFirstButtonId + 1},
    {"Button3", kMsgFirstButtonId + 2},
    {"Button4", kMsgFirstButtonId + 3},
    {"Button5", kMsgFirstButtonId + 4},
    {"Button6", kMsgFirstButtonId + 5},
    {"Button7", kMsgFirstButtonId + 6},
    {"Button8", kMsgFirstButtonId + 7},
    {"Button9", kMsgFirstButtonId + 8},
    {"Button10", kMsgFirstButtonId + 9},
};
}  // namespace

// Its caption is the message's title and its size follows the texts: DgMsgBox opens it.
constinit const FormDecl kMsgBoxFormDecl = {
    .name = kMsgBoxForm,
    .caption = "",
    .width = 0,
    .height = 0,
    .style = "TM",
    .helpTopic = 0,
    .design = MsgBox_Design,
    .event = MsgBox_Event,
    .controls = kControls,
};
