// Form CS: copies stations of other quarters into a chosen quarter.
#include "app/app_state.h"
#include "app/forms.h"
#include "app/options.h"
#include "app/startup.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "data/query.h"
#include "editors/stations.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kForm = "CS";
constexpr int kList = 100, kQuarter = 105, kCopy = 110, kExit = 115, kHelp = 120, kFrame = 125,
              kF1 = 911;
constexpr int kHelpTopic = 440;

// The quarter that receives the copies, kept while the dialog is open.
int32_t& TargetQuarter() {
    static int32_t quarter = 0;
    return quarter;
}

void FillCandidates() {
    EZ_REDRAW(kForm, kList, false);
    EZ_LVCLEAR(kForm, kList);
    for (const StationRow& s : StationCopyCandidates(TargetQuarter()))
        EZ_LVADDROW(kForm, kList, {s.calls, s.license});
    EZ_REDRAW(kForm, kList, true);
    EZ_ENABLE(kForm, kCopy, false);
}

void Copy() {
    std::vector<StationRow> chosen;
    for (int row = EZ_LVNEXTSELECTED(kForm, kList, -1); row >= 0;
         row = EZ_LVNEXTSELECTED(kForm, kList, row))
        chosen.push_back(
            {0, EZ_LVGETCELL(kForm, kList, row, 0), EZ_LVGETCELL(kForm, kList, row, 1)});
    if (chosen.empty()) return;
    if (CopyStationsToQuarter(chosen, TargetQuarter()) < 0) {
        DgMsgOk("Copy Failed", "The stations could not be copied.{f10,t4}",
                "Nothing was changed (" + slGetError() + ").{f6}");
        return;
    }
    FillCandidates();
}

void Loaded() {
    double col, row, w, h;
    EZ_GETFORMPLACE(kForm, col, row, w, h);
    EZ_SETFORMPLACE(kForm, col, row, kCopyStationsWidth, kCopyStationsHeight);
    EZ_CENTERFORM(kForm);
    Shell().helpTopic = kHelpTopic;
    TargetQuarter() = TodayQuarter();
    FillQuarterSelector(kForm, kQuarter, 1);
    FillCandidates();
    EZ_ACCEL(kForm, "F1", kF1);
}

}  // namespace

void OpenCopyStations(const std::string& parent) {
    OpenForm(kForm, parent, kCopyStationsWidth, kCopyStationsHeight);
}

void CS_Design() {
    EZ_CONTROL(kForm, kFrame, EzKind::Frame, "Select Stations to Copy to:", 1.5, 0.4, 27, 3.2);
    EZ_CONTROL(kForm, kQuarter, EzKind::Combo, "", 3, 1.6, 24, 1.3);
    EZ_CONTROL(kForm, kList, EzKind::ListView, "Call Letters{14}|City of License{27}", 1.5, 4.4, 46,
               15, "M");
    EZ_CONTROL(kForm, kCopy, EzKind::Button, "&Copy", 49.5, 4.4, 11, 1.7);
    EZ_CONTROL(kForm, kExit, EzKind::Button, "E&xit", 49.5, 6.6, 11, 1.7);
    EZ_CONTROL(kForm, kHelp, EzKind::Button, "&Help", 49.5, 17.7, 11, 1.7);
    if (Opts().tipsOn) {
        EZ_SETTOOLTIP(kForm, kList, "Hold Shift or Ctrl to select station(s) to copy");
        EZ_SETTOOLTIP(kForm, kQuarter, "Select quarter to receive copied stations");
    }
}

void CS_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    switch (id) {
        case 0:
            if (ev == EzEvent::Loaded) {
                Loaded();
            } else if (ev == EzEvent::Activated) {
                Shell().helpTopic = kHelpTopic;
            }
            break;
        case kQuarter:
            if (ev == EzEvent::Change) {
                TargetQuarter() = QuarterFromName(EZ_GETTEXT(kForm, kQuarter));
                FillCandidates();
            }
            break;
        case kList:
            // Re-check once the selection has settled.
            if (ev == EzEvent::Click || ev == EzEvent::SelChange) {
                EZ_POSTEVENT(kForm, kList, 0);
            } else if (ev == EzEvent::Posted) {
                EZ_ENABLE(kForm, kCopy, EZ_LVSELCOUNT(kForm, kList) > 0);
            }
            break;
        case kCopy:
            if (ev == EzEvent::Click) Copy();
            break;
        case kExit:
            if (ev == EzEvent::Click) EZ_UNLOADFORM(kForm);
            break;
        case kHelp:
        case kF1:
            if (ev == EzEvent::Click) ShowHelp(kHelpTopic);
            break;
        default:
            break;
    }
}
