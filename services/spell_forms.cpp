// Forms XS (the check of a text box, modeless beside its editor), XE (the word
// list editor) and XD (deleting words, opened from XS). The logic lives in
// services/spell.cpp; these handlers move text between it and the controls.
#include <algorithm>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_forms.h"
#include "services/forms.h"
#include "services/spell.h"
#include "ui/layout.h"
#include "ui/msgbox.h"

namespace {

// ---------------------------------------------------------------------------
// XS: Spell Check
// ---------------------------------------------------------------------------
namespace xs {

constexpr const char* kForm = "XS";
constexpr int kWordLabel = 100, kWord = 105, kSuggestLabel = 110, kSuggestions = 115, kChange = 120,
              kChangeAll = 125, kIgnore = 130, kIgnoreAll = 135, kAdd = 140, kDelete = 145,
              kClose = 150;
constexpr int kPostFinish = 1;

void EnableChange(bool on) {
    EZ_ENABLE(kForm, kChange, on);
    EZ_ENABLE(kForm, kChangeAll, on);
}

// Where the checked text stays in view: beside the editor (right, else left),
// else below or above the checked text box; where nothing fits the form stays
// centred.
void PlaceBesideEditor(const std::string& editor, int control) {
    double ec, er, ew, eh, c, r, w, h, sc, sr, tc, tr, tw, th;
    EZ_GETFORMPLACE(editor, ec, er, ew, eh);
    EZ_GETFORMPLACE(kForm, c, r, w, h);
    EZ_GETPLACE(editor, control, tc, tr, tw, th);
    EZ_SCREENSIZE(sc, sr);
    if (ew <= 0 || sc <= 0 || w <= 0) return;
    constexpr double kGap = 1;
    const double maxCol = std::max(0.0, sc - w), maxRow = std::max(0.0, sr - h);
    const double besideRow = std::clamp(er, 0.0, maxRow);
    const double textCol = std::clamp(ec + tc, 0.0, maxCol);
    // The form's frame and title bar lie above its client area: a margin.
    const double textTop = er + tr + 1.5, textBottom = er + tr + th + 2.5;
    struct Place {
        double col, row;
    };
    const Place places[] = {
        {ec + ew + kGap, besideRow},
        {ec - kGap - w, besideRow},
        {textCol, textBottom},
        {textCol, textTop - h - kGap},
    };
    for (const Place& p : places) {
        if (p.col >= 0 && p.col <= maxCol && p.row >= 0 && p.row <= maxRow) {
            EZ_SETFORMPLACE(kForm, p.col, p.row, w, h);
            return;
        }
    }
}

// Ends the check: the dialog closes and the count is shown.
void Finish() {
    const SpellSession& s = CheckSession();
    const std::string editor = s.form;
    const int control = s.control;
    const int count = s.wordCount;
    EZ_UNLOADFORM(kForm);
    if (EZ_FORMEXISTS(kForm)) return;
    if (EZ_FORMEXISTS(editor)) EZ_SETFOCUS(editor, control);
    DgMsgOk("Completed", "Spell check complete.{f6}",
            FormatThousands(count) + " words checked.{f6}");
}

// Shows the next unknown word, selected in the editor; false when the check
// has finished.
bool ShowNext() {
    SpellSession& s = CheckSession();
    if (!NextUnknownWord(s, EZ_GETTEXT(s.form, s.control))) return false;
    const std::string word = CurrentUnknownWord(s);
    EZ_SELECTTEXT(s.form, s.control, static_cast<int>(s.searchPos), static_cast<int>(word.size()));
    EZ_SETTEXT(kForm, kWord, word);
    EZ_REDRAW(kForm, kSuggestions, false);
    EZ_CLEARITEMS(kForm, kSuggestions);
    for (const std::string& w : Split(SuggestWords(word), "|"))
        if (!w.empty()) EZ_ADDITEM(kForm, kSuggestions, w);
    EZ_REDRAW(kForm, kSuggestions, true);
    EnableChange(false);
    return true;
}

void Next() {
    if (!ShowNext()) Finish();
}

// Puts a replacement into the editor's text box as if it had been typed, so
// that the editor sees its text changed (and offers to save it).
void Change(bool all) {
    SpellSession& s = CheckSession();
    const std::string text = EZ_GETTEXT(s.form, s.control);
    const std::string changed = ChangeCurrentWord(s, text, EZ_GETTEXT(kForm, kWord), all);
    if (changed != text) {
        EZ_SETTEXT(s.form, s.control, changed);
        EZ_SENDEVENT(s.form, s.control, EzEvent::Change);
    }
    Next();
}

// The session ends with the dialog, however it closes (also when the editor
// is closed under it).
void EndSession() {
    SpellSession& s = CheckSession();
    if (!s.dialogOpen) return;
    s.dialogOpen = false;
    if (WordsAdded()) SaveWordList();
    s.searchPos = 0;
}

void Loaded() {
    PlaceBesideEditor(CheckSession().form, CheckSession().control);
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    if (!ShowNext()) EZ_POSTEVENT(kForm, 0, kPostFinish);
    EZ_SETFOCUS(kForm, kWord);
}

}  // namespace xs

// ---------------------------------------------------------------------------
// XE: Spell Check Editor, and XD: Delete from Dictionary
// ---------------------------------------------------------------------------
// The word box and match list of XE and XD, each in its frame; the lists are
// two units less wide than their frames and 2.2 less high.
constexpr int kWordFrame = 100, kMatchFrame = 110;

void DesignWordAndMatches(const std::string& form, const std::string& wordCaption,
                          const std::string& matchCaption, double frameW, double matchH) {
    EZ_CONTROL(form, kWordFrame, EzKind::Frame, wordCaption, 1.5, 0.4, frameW, 3.6);
    EZ_CONTROL(form, kSpellWordBox, EzKind::Text, "", 2.5, 1.9, frameW - 2, 1.5);
    EZ_CONTROL(form, kMatchFrame, EzKind::Frame, matchCaption, 1.5, 4.5, frameW, matchH);
    EZ_CONTROL(form, kSpellMatchList, EzKind::ListBox, "", 2.5, 6.0, frameW - 2, matchH - 2.2);
}

// The Delete button is on while a match is selected.
void FollowMatchSelection(const std::string& form, int deleteButton) {
    EZ_ENABLE(form, deleteButton, EZ_SELECTEDITEM(form, kSpellMatchList) >= 0);
}

void DeleteSelectedMatch(const std::string& form, int deleteButton) {
    DeleteDictionaryWord(form, kSpellMatchList);
    FollowMatchSelection(form, deleteButton);
}

namespace xe {

constexpr const char* kForm = "XE";
constexpr int kAdd = 120, kDelete = 125, kHelp = 130, kClose = 135;
constexpr double kMinW = 48, kMinH = 16;
constexpr double kButtonW = 18.5;

// Frames and lists follow the form's size; the buttons keep to the right.
void Layout() {
    double c, r, w, h;
    EZ_GETFORMPLACE(kForm, c, r, w, h);
    w = std::max(w, kMinW);
    h = std::max(h, kMinH);
    const double frameW = w - kButtonW - 4;
    const double bx = w - kButtonW - 1.5;
    EZ_MOVE(kForm, kWordFrame, 1.5, 0.4, frameW, 3.6);
    EZ_MOVE(kForm, kSpellWordBox, 2.5, 1.9, frameW - 2, 1.5);
    EZ_MOVE(kForm, kMatchFrame, 1.5, 4.5, frameW, h - 5.3);
    EZ_MOVE(kForm, kSpellMatchList, 2.5, 6.0, frameW - 2, h - 7.5);
    EZ_MOVE(kForm, kAdd, bx, 1.0, kButtonW, 1.7);
    EZ_MOVE(kForm, kDelete, bx, 3.1, kButtonW, 1.7);
    EZ_MOVE(kForm, kHelp, bx, 5.2, kButtonW, 1.7);
    EZ_MOVE(kForm, kClose, bx, h - 2.6, kButtonW, 1.7);
}

std::string TypedWord() {
    return TrimChars(EZ_GETTEXT(kForm, kSpellWordBox), " \t\r\n");
}

void WordTyped() {
    RefreshMatches(kForm, kSpellWordBox);
    EZ_ENABLE(kForm, kAdd, !TypedWord().empty());
    EZ_ENABLE(kForm, kDelete, false);
}

void AddClicked() {
    const std::string word = TypedWord();
    if (word.empty() || AddDictionaryWord(word) != 1) return;
    DgMsgOk("Success!", "The word \"" + word + "\" has been added to the dictionary.{f6}", "");
    EZ_SETTEXT(kForm, kSpellWordBox, "");
    WordTyped();
    EZ_SETFOCUS(kForm, kSpellWordBox);
}

constexpr int kPostClose = 1;

void Loaded() {
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    if (!WordListLoaded()) {
        // Without a list there is nothing to edit, and writing one would
        // replace a list that exists but could not be read.
        DgMsgOk("Spell Checking Disabled",
                "Spell check not initialized due to missing dictionary file.{f6}", "");
        EZ_POSTEVENT(kForm, 0, kPostClose);
        return;
    }
    RestoreFormPlace(kForm, Paths().settingsFile, 1);
    Layout();
    EZ_ENABLE(kForm, kAdd, false);
    EZ_ENABLE(kForm, kDelete, false);
    EZ_SETFOCUS(kForm, kSpellWordBox);
}

}  // namespace xe

namespace xd {

constexpr const char* kForm = "XD";
constexpr int kDelete = 120, kDone = 125;

}  // namespace xd

}  // namespace

static void XS_Design() {
    using namespace xs;
    EZ_CONTROL(kForm, kWordLabel, EzKind::Label, "&Not in Dictionary:", 2, 0.7, 34, 1.1);
    EZ_CONTROL(kForm, kWord, EzKind::Text, "", 2, 1.9, 34, 1.5);
    EZ_CONTROL(kForm, kSuggestLabel, EzKind::Label, "&Suggestions:", 2, 3.9, 34, 1.1);
    EZ_CONTROL(kForm, kSuggestions, EzKind::ListBox, "", 2, 5.1, 34, 13.3);
    const double bx = 38.5, bw = 17.5, bh = 1.7;
    EZ_CONTROL(kForm, kChange, EzKind::Button, "&Change", bx, 1.8, bw, bh);
    EZ_CONTROL(kForm, kChangeAll, EzKind::Button, "Change A&ll", bx, 3.8, bw, bh);
    EZ_CONTROL(kForm, kIgnore, EzKind::Button, "&Ignore", bx, 6.2, bw, bh);
    EZ_CONTROL(kForm, kIgnoreAll, EzKind::Button, "I&gnore All", bx, 8.2, bw, bh);
    EZ_CONTROL(kForm, kAdd, EzKind::Button, "&Add to Dictionary", bx, 10.6, bw, bh);
    EZ_CONTROL(kForm, kDelete, EzKind::Button, "&Delete Words...", bx, 12.6, bw, bh);
    EZ_CONTROL(kForm, kClose, EzKind::Button, "Cl&ose", bx, 16.7, bw, bh);
    EZ_SETTEXTLIMIT(kForm, kWord, 49);
    if (Opts().tipsOn) {
        EZ_SETTOOLTIP(kForm, kWord, "The word not found in the dictionary; edit it to change it");
        EZ_SETTOOLTIP(kForm, kSuggestions, "Similar words; select one to use it");
        EZ_SETTOOLTIP(kForm, kChange, "Replace this occurrence of the word");
        EZ_SETTOOLTIP(kForm, kChangeAll, "Replace every occurrence of the word");
        EZ_SETTOOLTIP(kForm, kIgnore, "Leave this occurrence as it is");
        EZ_SETTOOLTIP(kForm, kIgnoreAll, "Leave every occurrence as it is");
        EZ_SETTOOLTIP(kForm, kAdd, "Add the word to the dictionary");
        EZ_SETTOOLTIP(kForm, kDelete, "Remove words from the dictionary");
    }
}

static void XS_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    using namespace xs;
    if (CommonFormEvent(kForm, id, ev, {.exit = kClose}, kSpellHelpTopic)) return;
    switch (id) {
        case 0:
            if (ev == EzEvent::Loaded) Loaded();
            if (ev == EzEvent::Posted && value == kPostFinish) Finish();
            if (ev == EzEvent::Close || ev == EzEvent::Unloaded) EndSession();
            return;
        case kWord:
            if (ev == EzEvent::Change) EnableChange(true);
            return;
        case kSuggestions:
            if (ev == EzEvent::Change || ev == EzEvent::DblClick) {
                const int sel = EZ_SELECTEDITEM(kForm, kSuggestions);
                if (sel < 0) return;
                EZ_SETTEXT(kForm, kWord, EZ_ITEMTEXT(kForm, kSuggestions, sel));
                EnableChange(true);
                if (ev == EzEvent::DblClick) Change(false);
            }
            return;
        default:
            break;
    }
    if (ev != EzEvent::Click) return;
    SpellSession& s = CheckSession();
    switch (id) {
        case kChange:
            Change(false);
            break;
        case kChangeAll:
            Change(true);
            break;
        case kIgnore:
            Next();
            break;
        case kIgnoreAll:
            IgnoreAllCurrent(s);
            Next();
            break;
        case kAdd: {
            // Quotes around a word are not part of it (the lookup drops them
            // too), so 'word' adds word; later reports of either form are ignored.
            const std::string word = Trim(EZ_GETTEXT(kForm, kWord));
            const std::string bare = TrimChars(word, "'\"");
            if (AddDictionaryWord(bare.empty() ? word : bare) == 1) {
                s.ignore.push_back(word);
                if (bare != word) s.ignore.push_back(bare);
                Next();
            }
            break;
        }
        case kDelete:
            OpenForm(kSpellDeleteForm, kForm);
            break;
        default:
            break;
    }
}

static void XE_Design() {
    using namespace xe;
    DesignWordAndMatches(kForm, "Word to Add or Delete", "Dictionary Matches", 41, 18.7);
    EZ_CONTROL(kForm, kAdd, EzKind::Button, "&Add to Dictionary", 43.5, 1.0, kButtonW, 1.7);
    EZ_CONTROL(kForm, kDelete, EzKind::Button, "&Delete Word", 43.5, 3.1, kButtonW, 1.7);
    EZ_CONTROL(kForm, kHelp, EzKind::Button, "&Help", 43.5, 5.2, kButtonW, 1.7);
    EZ_CONTROL(kForm, kClose, EzKind::Button, "&Close", 43.5, 21.4, kButtonW, 1.7);
    if (Opts().tipsOn) EZ_SETTOOLTIP(kForm, kSpellMatchList, "Select a word to be deleted");
}

static void XE_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    using namespace xe;
    if (CommonFormEvent(kForm, id, ev, {kHelp, kClose}, kSpellHelpTopic)) return;
    switch (id) {
        case 0:
            if (ev == EzEvent::Loaded) Loaded();
            // Resizable above the minimum size (the form is opened at a fixed size).
            if (ev == EzEvent::Shown) EZ_SETFORMMINMAX(kForm, kMinW, kMinH, 10000, 10000);
            if (ev == EzEvent::Resize) Layout();
            if (ev == EzEvent::Posted && value == kPostClose) EZ_UNLOADFORM(kForm);
            if (ev == EzEvent::Close && WordListLoaded()) {
                if (WordsAdded() || WordsDeleted()) SaveWordList();
                SaveFormPlace(kForm, Paths().settingsFile);
            }
            return;
        case kSpellWordBox:
            if (ev == EzEvent::Change) WordTyped();
            return;
        case kSpellMatchList:
            if (ev == EzEvent::Change) FollowMatchSelection(kForm, kDelete);
            return;
        default:
            break;
    }
    if (ev != EzEvent::Click) return;
    switch (id) {
        case kAdd:
            AddClicked();
            break;
        case kDelete:
            DeleteSelectedMatch(kForm, kDelete);
            break;
        default:
            break;
    }
}

static void XD_Design() {
    using namespace xd;
    DesignWordAndMatches(kForm, "Word to Delete", "Matching Words", 33, 14.7);
    EZ_CONTROL(kForm, kDelete, EzKind::Button, "&Delete", 36.5, 1.0, 13.5, 1.7);
    EZ_CONTROL(kForm, kDone, EzKind::Button, "D&one", 36.5, 17.5, 13.5, 1.7);
    if (Opts().tipsOn) EZ_SETTOOLTIP(kForm, kSpellMatchList, "Select the word to be deleted");
}

static void XD_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    using namespace xd;
    if (CommonFormEvent(kForm, id, ev, {.exit = kDone}, kSpellHelpTopic)) return;
    switch (id) {
        case 0:
            if (ev == EzEvent::Loaded) {
                EZ_ACCEL(kForm, "F1", kHelpKeyId);
                EZ_ENABLE(kForm, kDelete, false);
                EZ_SETFOCUS(kForm, kSpellWordBox);
            }
            if (ev == EzEvent::Close && WordsDeleted()) SaveWordList();
            return;
        case kSpellWordBox:
            if (ev == EzEvent::Change) {
                RefreshMatches(kForm, kSpellWordBox);
                EZ_ENABLE(kForm, kDelete, false);
            }
            return;
        case kSpellMatchList:
            if (ev == EzEvent::Change) FollowMatchSelection(kForm, kDelete);
            return;
        default:
            break;
    }
    if (ev == EzEvent::Click && id == kDelete) DeleteSelectedMatch(kForm, kDelete);
}

namespace {
constexpr ControlName kCheckControls[] = {
    {"WordLabel", xs::kWordLabel},
    {"Word", xs::kWord},
    {"SuggestLabel", xs::kSuggestLabel},
    {"Suggestions", xs::kSuggestions},
    {"Change", xs::kChange},
    {"ChangeAll", xs::kChangeAll},
    {"Ignore", xs::kIgnore},
    {"IgnoreAll", xs::kIgnoreAll},
    {"Add", xs::kAdd},
    {"Delete", xs::kDelete},
    {"Close", xs::kClose},
};
constexpr ControlName kEditorControls[] = {
    {"WordFrame", kWordFrame},    {"Word", kSpellWordBox}, {"MatchFrame", kMatchFrame},
    {"Matches", kSpellMatchList}, {"Add", xe::kAdd},       {"Delete", xe::kDelete},
    {"Help", xe::kHelp},          {"Close", xe::kClose},
};
constexpr ControlName kDeleteControls[] = {
    {"WordFrame", kWordFrame},    {"Word", kSpellWordBox}, {"MatchFrame", kMatchFrame},
    {"Matches", kSpellMatchList}, {"Delete", xd::kDelete}, {"Done", xd::kDone},
};
}  // namespace

// Modeless beside the editor whose text it checks.
constinit const FormDecl kSpellCheckForm = {
    .name = "XS",
    .caption = "Spell Check",
    .width = kSpellCheckWidth,
    .height = kSpellCheckHeight,
    .style = "N",
    .helpTopic = kSpellHelpTopic,
    .design = XS_Design,
    .event = XS_Event,
    .controls = kCheckControls,
};
// The dictionary editor can be resized.
constinit const FormDecl kSpellEditorForm = {
    .name = "XE",
    .caption = "Spell Check Editor",
    .width = kSpellEditorWidth,
    .height = kSpellEditorHeight,
    .style = "R",
    .helpTopic = kSpellHelpTopic,
    .design = XE_Design,
    .event = XE_Event,
    .controls = kEditorControls,
};
constinit const FormDecl kSpellDeleteForm = {
    .name = "XD",
    .caption = "Delete from Dictionary",
    .width = kSpellDeleteWidth,
    .height = kSpellDeleteHeight,
    .style = "",
    .helpTopic = kSpellHelpTopic,
    .design = XD_Design,
    .event = XD_Event,
    .controls = kDeleteControls,
};
