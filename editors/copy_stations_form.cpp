// Form CS: copies stations of other quarters into a chosen quarter.
#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/toolkit/ez_forms.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "data/query.h"
#include "editors/forms.h"
#include "editors/stations.h"
#include "ui/data_controls.h"
#include "ui/layout.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kForm = "CS";
constexpr int kFrame = 125;
constexpr int kHelpTopic = 440;

// The quarter that receives the copies, kept while the dialog is open.
int32_t& TargetQuarter() {
    static int32_t quarter = 0;
    return quarter;
}

void FillCandidates() {
    EZ_REDRAW(kForm, kCsList, false);
    EZ_LVCLEAR(kForm, kCsList);
    for (const StationRow& s : StationCopyCandidates(TargetQuarter()))
        EZ_LVADDROW(kForm, kCsList, {s.calls, s.license});
    EZ_REDRAW(kForm, kCsList, true);
    EZ_ENABLE(kForm, kCsCopy, false);
}

void Copy() {
    std::vector<StationRow> chosen;
    for (int row = EZ_LVNEXTSELECTED(kForm, kCsList, -1); row >= 0;
         row = EZ_LVNEXTSELECTED(kForm, kCsList, row))
        chosen.push_back(
            {0, EZ_LVGETCELL(kForm, kCsList, row, 0), EZ_LVGETCELL(kForm, kCsList, row, 1)});
    if (chosen.empty()) return;
    if (CopyStationsToQuarter(chosen, TargetQuarter()) < 0) {
        DgMsgOk("Copy Failed", "The stations could not be copied.{f10,t4}",
                "Nothing was changed (" + slGetError() + ").{f6}");
        return;
    }
    FillCandidates();
}

void Loaded() {
    KeepDesignedSize(kForm, kCopyStationsWidth, kCopyStationsHeight);
    Shell().helpTopic = kHelpTopic;
    TargetQuarter() = TodayQuarter();
    FillQuarterSelector(kForm, kCsQuarter, 1);
    FillCandidates();
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
}

void CS_Design() {
    EZ_CONTROL(kForm, kFrame, EzKind::Frame, "Select Stations to Copy to:", 1.5, 0.4, 27, 3.2);
    EZ_CONTROL(kForm, kCsQuarter, EzKind::Combo, "", 3, 1.6, 24, 1.3);
    EZ_CONTROL(kForm, kCsList, EzKind::ListView, "Call Letters{14}|City of License{27}", 1.5, 4.4,
               46, 15, "M");
    EZ_CONTROL(kForm, kCsCopy, EzKind::Button, "&Copy", 49.5, 4.4, 11, 1.7);
    EZ_CONTROL(kForm, kCsExit, EzKind::Button, "E&xit", 49.5, 6.6, 11, 1.7);
    EZ_CONTROL(kForm, kCsHelp, EzKind::Button, "&Help", 49.5, 17.7, 11, 1.7);
    if (Opts().tipsOn) {
        EZ_SETTOOLTIP(kForm, kCsList, "Hold Shift or Ctrl to select station(s) to copy");
        EZ_SETTOOLTIP(kForm, kCsQuarter, "Select quarter to receive copied stations");
    }
}

void CS_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    if (CommonFormEvent(kForm, id, ev, {kCsHelp, kCsExit, kHelpTopic}, kHelpTopic)) return;
    switch (id) {
        case 0:
            if (ev == EzEvent::Loaded) Loaded();
            break;
        case kCsQuarter:
            if (ev == EzEvent::Change) {
                TargetQuarter() = QuarterFromName(EZ_GETTEXT(kForm, kCsQuarter));
                FillCandidates();
            }
            break;
        case kCsList:
            // Re-check once the selection has settled.
            if (ev == EzEvent::Click || ev == EzEvent::SelChange) {
                EZ_POSTEVENT(kForm, kCsList, 0);
            } else if (ev == EzEvent::Posted) {
                EZ_ENABLE(kForm, kCsCopy, EZ_LVSELCOUNT(kForm, kCsList) > 0);
            }
            break;
        case kCsCopy:
            if (ev == EzEvent::Click) Copy();
            break;
        default:
            break;
    }
}

constexpr ControlName kControls[] = {
    {"List", kCsList}, {"Quarter", kCsQuarter}, {"Copy", kCsCopy},
    {"Exit", kCsExit}, {"Help", kCsHelp},       {"Frame", kFrame},
};

}  // namespace

constinit const FormDecl kCopyStationsForm = {
    .name = "CS",
    .caption = "Copy Stations",
    .width = kCopyStationsWidth,
    .height = kCopyStationsHeight,
    .style = "",
    .helpTopic = kHelpTopic,
    .design = CS_Design,
    .event = CS_Event,
    .controls = kControls,
};

void OpenCopyStations(const std::string& parent) {
    OpenForm(kCopyStationsForm, parent);
}
