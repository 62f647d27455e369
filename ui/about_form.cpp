// Form AB: the About box. A program-info page (name, version, release date)
// and a program-history page read from History.rtf beside the program.
#include <string>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "app/toolkit/ez_forms.h"
#include "data/dates.h"
#include "ui/file_helpers.h"
#include "ui/forms.h"
#include "ui/layout.h"
#include "ui/resources.h"
#include "ui/rtf.h"

namespace {

constexpr const char* kForm = "AB";
constexpr double kWidth = 64;
constexpr double kHeight = 21;

enum : int {
    kInfoPage = 100,
    kName = 105,
    kTagline = 110,
    kVersion = 115,
    kSummary = 120,
    kHistoryPage = 150,
    kHistory = 155,
    kToggle = 200,
    kClose = 205,
};

constexpr const char* kShowHistory = "&View Program History";
constexpr const char* kShowInfo = "&View Program Info";

// "Version 1.8.4.0 — Released " + the release date in the user's date format.
std::string AboutVersionLine() {
    return std::string("Version ") + kVersionMajorMinor + "." + kVersionBuild +
           " \xE2\x80\x94 Released " + DisplayDate(Mdy2JulianDate(6, 24, 2019));
}

}  // namespace

static void AB_Design() {
    EZ_DEFFONT(kFontAboutName, "Segoe UI", 24, "B");

    EZ_CONTROL(kForm, kInfoPage, EzKind::Page, "", 0, 0, kWidth, kHeight - 3);
    EZ_CONTROL(kForm, kName, EzKind::Label, kProgramName, 2, 3, kWidth - 4, 3, "C");
    EZ_SETFONT(kForm, kName, kFontAboutName);
    EZ_CONTROL(kForm, kTagline, EzKind::Label, "Quarterly Issues && Programs List Manager", 2, 7,
               kWidth - 4, 1.5, "C");
    EZ_SETFONT(kForm, kTagline, kFontTitle);
    EZ_CONTROL(kForm, kVersion, EzKind::Label, AboutVersionLine(), 2, 10, kWidth - 4, 1.5, "C");
    EZ_SETFONT(kForm, kVersion, kFontText);
    EZ_CONTROL(kForm, kSummary, EzKind::Label,
               "Keeps each station's quarterly list of community issues and the programs "
               "that addressed them, and writes the list for the public file.",
               6, 12.5, kWidth - 12, 3, "CW");
    EZ_SETFONT(kForm, kSummary, kFontText);
    for (int id : {kName, kTagline, kVersion, kSummary}) EZ_SETPARENT(kForm, id, kInfoPage);

    EZ_CONTROL(kForm, kHistoryPage, EzKind::Page, "", 0, 0, kWidth, kHeight - 3);
    EZ_CONTROL(kForm, kHistory, EzKind::RichText, "", 1, 0.7, kWidth - 2, kHeight - 4.2);
    EZ_SETPARENT(kForm, kHistory, kHistoryPage);
    EZ_SHOW(kForm, kHistoryPage, false);
    std::string history;  // stays empty when the file is missing
    const std::string historyFile = FindResource("History.rtf");
    if (!historyFile.empty()) ReadWholeFile(historyFile, history);
    EZ_SETRICHTEXT(kForm, kHistory, ParseRtf(history));

    EZ_CONTROL(kForm, kToggle, EzKind::Button, kShowHistory, 1, kHeight - 2.3, 24, 1.7);
    EZ_CONTROL(kForm, kClose, EzKind::Button, "&Close", kWidth - 13, kHeight - 2.3, 12, 1.7);
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
}

static void AB_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    // Help shows the topic of the form the box was opened from.
    if (CommonFormEvent(kForm, id, ev, {.exit = kClose}, Shell().helpTopic)) return;
    switch (ev) {
        case EzEvent::Loaded: {
            if (id != 0) break;
            // The box has its own size whatever the caller asked for.
            KeepDesignedSize(kForm, kWidth, kHeight);
            EZ_SETFOCUS(kForm, kClose);
            break;
        }
        case EzEvent::Click:
            if (id == kToggle) {
                bool toHistory = !EZ_ISVISIBLE(kForm, kHistoryPage);
                EZ_SHOW(kForm, kInfoPage, !toHistory);
                EZ_SHOW(kForm, kHistoryPage, toHistory);
                EZ_SETTEXT(kForm, kToggle, toHistory ? kShowInfo : kShowHistory);
            }
            break;
        default:
            break;
    }
}

namespace {
constexpr ControlName kControls[] = {
    {"InfoPage", kInfoPage}, {"Name", kName},       {"Tagline", kTagline},
    {"Version", kVersion},   {"Summary", kSummary}, {"HistoryPage", kHistoryPage},
    {"History", kHistory},   {"Toggle", kToggle},   {"Close", kClose},
};
}  // namespace

// Help shows the topic of the form the box was opened from.
constinit const FormDecl kAboutForm = {
    .name = "AB",
    .caption = "About Vantrel",
    .width = kWidth,
    .height = kHeight,
    .style = "",
    .helpTopic = 0,
    .design = AB_Design,
    .event = AB_Event,
    .controls = kControls,
};
