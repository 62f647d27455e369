// Form CQ, "Add A Previous Quarter": creates an earlier quarter, optionally
// with the stations, issues and methods of an existing one.
#include <string>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_forms.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "ui/data_controls.h"
#include "ui/forms.h"
#include "ui/msgbox.h"

namespace {

const std::string kForm = "CQ";
constexpr int kYearLabel = 100;
constexpr int kYear = 105;
constexpr int kQ1 = 110;
constexpr int kQ2 = 115;
constexpr int kQ3 = 120;
constexpr int kQ4 = 125;
constexpr int kCopyBox = 130;
constexpr int kSourceLabel = 135;
constexpr int kSource = 140;
constexpr int kCreate = 145;
constexpr int kCancel = 150;
constexpr int kHelp = 155;
constexpr int kQuarterFrame = 160;
constexpr int kCopyFrame = 165;
constexpr int kHelpTopic = 390;
// Whether the open dialog created a quarter, for its opener.
bool& Created() {
    static bool created = false;
    return created;
}
// Posted after a click on the copy box, once its new state has settled.
constexpr int64_t kPostCopyBoxSettled = 1;

bool IsFourDigitYear(const std::string& text) {
    if (text.size() != 4) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return Val(text) >= 1900;
}

void Create() {
    bool copy = EZ_GETCHECK(kForm, kCopyBox);
    int32_t source = copy ? QuarterFromName(EZ_GETTEXT(kForm, kSource)) : 0;

    std::string yearText = Trim(EZ_GETTEXT(kForm, kYear));
    // A year that is not four digits would create a quarter no selector can
    // name, and quarters are never deleted: refuse it.
    if (!IsFourDigitYear(yearText)) {
        DgMsgOk("Invalid Year", "Please type the year as four digits, such as 2019.{f10}", "");
        EZ_SETFOCUS(kForm, kYear);
        return;
    }
    int32_t year = static_cast<int32_t>(Val(yearText));
    int q = 4;
    if (EZ_GETCHECK(kForm, kQ1))
        q = 1;
    else if (EZ_GETCHECK(kForm, kQ2))
        q = 2;
    else if (EZ_GETCHECK(kForm, kQ3))
        q = 3;
    int32_t quarter = year * 10 + q;

    if (quarter > TodayQuarter()) {
        DgMsgOk("Creation Error", "Future quarters are created automatically by the program.{f10}",
                "Please use this feature only to create previous quarters.{f6}");
        return;
    }
    Created() = CreatePreviousQuarter(source, quarter, copy, true);
    if (!Created()) return;
    EZ_UNLOADFORM(kForm);
}

void CQ_Design() {
    EZ_CONTROL(kForm, kYearLabel, EzKind::Label, "Year:", 3, 0.8, 6, 1.2);
    EZ_CONTROL(kForm, kYear, EzKind::Text, "", 9, 0.6, 9, 1.5);
    EZ_SETTEXTLIMIT(kForm, kYear, 4);

    EZ_CONTROL(kForm, kQuarterFrame, EzKind::Frame, "Create Quarter For", 2, 2.5, 46, 6.9);
    EZ_CONTROL(kForm, kQ1, EzKind::Radio, "1st Quarter (Jan-Mar)", 4, 3.9, 30, 1.3, "G");
    EZ_CONTROL(kForm, kQ2, EzKind::Radio, "2nd Quarter (Apr-Jun)", 4, 5.2, 30, 1.3);
    EZ_CONTROL(kForm, kQ3, EzKind::Radio, "3rd Quarter (Jul-Sep)", 4, 6.5, 30, 1.3);
    EZ_CONTROL(kForm, kQ4, EzKind::Radio, "4th Quarter (Oct-Dec)", 4, 7.8, 30, 1.3);

    EZ_CONTROL(kForm, kCopyFrame, EzKind::Frame, "", 2, 9.8, 46, 3.9);
    EZ_CONTROL(kForm, kCopyBox, EzKind::Check, "Copy issues to new quarter", 4, 10.3, 34, 1.3);
    EZ_CONTROL(kForm, kSourceLabel, EzKind::Label, "Copy from", 4, 12.0, 10, 1.2);
    EZ_CONTROL(kForm, kSource, EzKind::Combo, "", 15, 11.8, 22, 1.6);
    if (Opts().tipsOn) EZ_SETTOOLTIP(kForm, kSource, "Hello");

    EZ_CONTROL(kForm, kCreate, EzKind::Button, "&Create", 2, 14.4, 14, 1.9);
    EZ_CONTROL(kForm, kCancel, EzKind::Button, "C&ancel", 18, 14.4, 14, 1.9);
    EZ_CONTROL(kForm, kHelp, EzKind::Button, "&Help", 34, 14.4, 14, 1.9);
}

void CQ_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    if (CommonFormEvent(kForm, id, ev, {kHelp, kCancel, kHelpTopic}, kHelpTopic)) return;
    if (id == 0) {
        if (ev == EzEvent::Loaded) {
            Created() = false;
            EZ_ACCEL(kForm, "F1", kHelpKeyId);
            FillQuarterSelector(kForm, kSource, 1);
            EZ_ENABLE(kForm, kSource, false);
            EZ_SETCHECK(kForm, kQ1, true);
            EZ_ENABLE(kForm, kCreate, false);
            Shell().helpTopic = kHelpTopic;
            EZ_SETFOCUS(kForm, kYear);
        }
        return;
    }
    switch (id) {
        case kYear:
            if (ev == EzEvent::Change)
                EZ_ENABLE(kForm, kCreate, CharCount(EZ_GETTEXT(kForm, kYear)) == 4);
            break;
        case kCopyBox:
            if (ev == EzEvent::Click)
                EZ_POSTEVENT(kForm, kCopyBox, kPostCopyBoxSettled);
            else if (ev == EzEvent::Posted && value == kPostCopyBoxSettled)
                EZ_ENABLE(kForm, kSource, EZ_GETCHECK(kForm, kCopyBox));
            break;
        case kCreate:
            if (ev == EzEvent::Click) Create();
            break;
        default:
            break;
    }
}

constexpr ControlName kControls[] = {
    {"YearLabel", kYearLabel},
    {"Year", kYear},
    {"Q1", kQ1},
    {"Q2", kQ2},
    {"Q3", kQ3},
    {"Q4", kQ4},
    {"CopyBox", kCopyBox},
    {"SourceLabel", kSourceLabel},
    {"Source", kSource},
    {"Create", kCreate},
    {"Cancel", kCancel},
    {"Help", kHelp},
    {"QuarterFrame", kQuarterFrame},
    {"CopyFrame", kCopyFrame},
};

}  // namespace

constinit const FormDecl kAddQuarterForm = {
    .name = "CQ",
    .caption = "Add A Previous Quarter",
    .width = 50,
    .height = 17,
    .style = "",
    .helpTopic = kHelpTopic,
    .design = CQ_Design,
    .event = CQ_Event,
    .controls = kControls,
};

bool OpenAddQuarter(const std::string& parent) {
    Created() = false;
    OpenForm(kAddQuarterForm, parent);
    return Created();
}
