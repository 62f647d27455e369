// Form CI: copies checked issues of the issues list's station to other
// stations of the same quarter.
//
// The issues list is a check list: column 0 holds the check mark ("{S}X2" /
// "{S}X1"), column 1 the title, and each row carries its IID. A right-click on
// it opens a context menu with "Select All" (4000) and "Unselect All" (4001).
#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_forms.h"
#include "data/query.h"
#include "editors/forms.h"
#include "editors/issues.h"
#include "editors/stations.h"
#include "ui/layout.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kForm = "CI";
constexpr int kFromFrame = 130, kToFrame = 135, kIssuesFrame = 140;
constexpr int kHelpTopic = 140;
constexpr const char* kChecked = "{S}X2";
constexpr const char* kUnchecked = "{S}X1";

// The source OpenCopyIssues was given, for the open dialog.
CopyIssuesSource& Source() {
    static CopyIssuesSource source;
    return source;
}

int SelectedTargetCount() {
    int n = 0;
    for (int i = 0, count = EZ_ITEMCOUNT(kForm, kCiTargets); i < count; ++i)
        if (EZ_ITEMSELECTED(kForm, kCiTargets, i)) ++n;
    return n;
}

// Copy is possible with at least one target and one checked issue.
void ApplyCopyRule() {
    EZ_ENABLE(kForm, kCiCopy, SelectedTargetCount() > 0 && CountChecked(kForm, kCiIssues) > 0);
}

void CheckAll(bool checked) {
    for (int r = 0, rows = EZ_LVROWCOUNT(kForm, kCiIssues); r < rows; ++r)
        EZ_LVSETCELL(kForm, kCiIssues, r, 0, checked ? kChecked : kUnchecked);
}

void Copy() {
    EZ_ENABLE(kForm, kCiCopy, false);
    std::vector<int64_t> targets;
    for (int i = 0, count = EZ_ITEMCOUNT(kForm, kCiTargets); i < count; ++i)
        if (EZ_ITEMSELECTED(kForm, kCiTargets, i))
            targets.push_back(EZ_ITEMDATA(kForm, kCiTargets, i));
    std::vector<IssueItem> issues;
    for (int r = 0, rows = EZ_LVROWCOUNT(kForm, kCiIssues); r < rows; ++r)
        if (IsChecked(kForm, kCiIssues, r))
            issues.push_back(
                {EZ_LVGETVALUE(kForm, kCiIssues, r), EZ_LVGETCELL(kForm, kCiIssues, r, 1)});
    const CopyIssuesResult result = CopyIssuesToStations(Source().quarter, issues, targets);
    if (!result.ok) {
        // The copy is one transaction: nothing was written, and the choices stay
        // on screen so that the user can try again or cancel.
        DgMsgOk("Copy Failed", "The issues could not be copied.{f10,t4}",
                "Nothing was changed (" + slGetError() + ").{f6}");
        ApplyCopyRule();
        return;
    }
    EZ_UNLOADFORM(kForm);
    DgMsgOk("Copy Complete", "Issues have been copied successfully.{f10}", "");
}

void Loaded() {
    KeepDesignedSize(kForm, kCopyIssuesWidth, kCopyIssuesHeight);
    RestoreFormPlace(kForm, Paths().settingsFile, 1);
    const CopyIssuesSource& src = Source();
    EZ_SETTEXT(kForm, kCiSource, src.calls);
    EZ_CLEARITEMS(kForm, kCiTargets);
    for (const StationRow& s : CopyIssueTargets(src.quarter, src.calls))
        EZ_ADDITEM(kForm, kCiTargets, s.calls, s.id);
    EZ_LVCLEAR(kForm, kCiIssues);
    for (const IssueItem& issue : StationIssues(src.quarter, src.stationId))
        EZ_LVADDROW(kForm, kCiIssues, {kUnchecked, issue.title}, issue.id);
    EZ_POPUPMENU(kForm, kCiPopup, {{kCiSelectAll, "Select All"}, {kCiUnselectAll, "Unselect All"}});
    ApplyCopyRule();
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    Shell().helpTopic = kHelpTopic;
}

void CI_Design() {
    EZ_CONTROL(kForm, kFromFrame, EzKind::Frame, "Copy From", 1.5, 0.4, 22, 3.4);
    EZ_CONTROL(kForm, kCiSource, EzKind::Label, "WWWW-WW", 3, 1.8, 19, 1.2);
    EZ_CONTROL(kForm, kToFrame, EzKind::Frame, "Copy To", 1.5, 4.2, 22, 14.6);
    EZ_CONTROL(kForm, kCiTargets, EzKind::ListBox, "", 3, 5.6, 19, 12.6, "M");
    EZ_CONTROL(kForm, kIssuesFrame, EzKind::Frame, "Select Issues to Copy", 25, 0.4, 35.5, 18.4);
    EZ_CONTROL(kForm, kCiIssues, EzKind::ListView, "{3}|{26}", 26.5, 1.8, 32.5, 16.4, "C");
    EZ_CONTROL(kForm, kCiCopy, EzKind::Button, "&Copy", 25, 19.4, 11, 1.7);
    EZ_CONTROL(kForm, kCiCancel, EzKind::Button, "C&ancel", 37.25, 19.4, 11, 1.7);
    EZ_CONTROL(kForm, kCiHelp, EzKind::Button, "&Help", 49.5, 19.4, 11, 1.7);
    if (Opts().tipsOn) {
        EZ_SETTOOLTIP(kForm, kCiTargets, "Select stations to receive copy of issues");
        EZ_SETTOOLTIP(kForm, kCiIssues, "Select issues to copy, right click for selection options");
    }
}

void CI_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    (void)value;
    (void)cancel;
    if (CommonFormEvent(kForm, id, ev, {kCiHelp, kCiCancel, kHelpTopic}, kHelpTopic)) return;
    switch (id) {
        case 0:
            if (ev == EzEvent::Loaded) {
                Loaded();
            } else if (ev == EzEvent::Close) {
                SaveFormPlace(kForm, Paths().settingsFile);
            }
            break;
        case kCiTargets:
            if (ev == EzEvent::Change || ev == EzEvent::Click) ApplyCopyRule();
            break;
        case kCiIssues:
            if (ev == EzEvent::Click) {
                // Re-check once the check box has changed.
                EZ_POSTEVENT(kForm, kCiIssues, 0);
            } else if (ev == EzEvent::Posted || ev == EzEvent::Change) {
                ApplyCopyRule();
            } else if (ev == EzEvent::RightClick) {
                if (EZ_LVROWCOUNT(kForm, kCiIssues) > 0) EZ_SHOWPOPUP(kForm, kCiPopup, kCiIssues);
            }
            break;
        case kCiSelectAll:
        case kCiUnselectAll:
            if (ev == EzEvent::Click) {
                CheckAll(id == kCiSelectAll);
                ApplyCopyRule();
            }
            break;
        case kCiCopy:
            if (ev == EzEvent::Click) Copy();
            break;
        default:
            break;
    }
}

constexpr ControlName kControls[] = {
    {"Source", kCiSource},       {"Targets", kCiTargets},         {"Issues", kCiIssues},
    {"Copy", kCiCopy},           {"Cancel", kCiCancel},           {"Help", kCiHelp},
    {"SelectAll", kCiSelectAll}, {"UnselectAll", kCiUnselectAll}, {"Popup", kCiPopup},
    {"FromFrame", kFromFrame},   {"ToFrame", kToFrame},           {"IssuesFrame", kIssuesFrame},
};

}  // namespace

constinit const FormDecl kCopyIssuesForm = {
    .name = "CI",
    .caption = "Copy Issues",
    .width = kCopyIssuesWidth,
    .height = kCopyIssuesHeight,
    .style = "",
    .helpTopic = kHelpTopic,
    .design = CI_Design,
    .event = CI_Event,
    .controls = kControls,
};

void OpenCopyIssues(const std::string& parent, const CopyIssuesSource& source) {
    Source() = source;
    OpenForm(kCopyIssuesForm, parent);
    Source() = CopyIssuesSource{};
}
