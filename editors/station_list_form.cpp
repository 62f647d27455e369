// Form SL: the stations of a quarter, with Add and Edit leading to ES.
#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/toolkit/ez_forms.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "editors/forms.h"
#include "editors/stations.h"
#include "ui/data_controls.h"
#include "ui/layout.h"

namespace {

constexpr const char* kForm = "SL";
constexpr int kFrame = 130;
constexpr int kHelpTopic = 200;

// What the open list shows and what it tells its opener.
struct ShownStations {
    int32_t quarter = 0;       // quarter shown
    int64_t selectedId = 0;    // StnID of the row last clicked; 0 = none
    bool quarterMade = false;  // a previous quarter was added from here
};

ShownStations& St() {
    static ShownStations state;
    return state;
}

void FillStationList() {
    EZ_REDRAW(kForm, kSlList, false);
    EZ_LVCLEAR(kForm, kSlList);
    for (const StationRow& s : StationsOfQuarter(St().quarter))
        EZ_LVADDROW(kForm, kSlList, {s.calls, s.license}, s.id);
    EZ_REDRAW(kForm, kSlList, true);
    EZ_ENABLE(kForm, kSlEdit, false);
    // With Edit disabled nothing is selected any more; a stale id would let a
    // double-click edit a station of the quarter shown before.
    St().selectedId = 0;
}

// Adds stations (stationId 0) or edits one; the list shows every save at once.
void OpenEditor(int64_t stationId) {
    OpenStationEditor(kForm, St().quarter, stationId, [] {
        if (EZ_FORMEXISTS(kForm)) FillStationList();
    });
}

void ShowQuarterFromSelector() {
    St().quarter = QuarterFromName(EZ_GETTEXT(kForm, kSlQuarter));
}

void Design() {
    EZ_CONTROL(kForm, kFrame, EzKind::Frame, "Period:", 1.5, 0.4, 27, 3.2);
    EZ_CONTROL(kForm, kSlQuarter, EzKind::Combo, "", 3, 1.6, 24, 1.3);
    EZ_CONTROL(kForm, kSlList, EzKind::ListView, "Call Letters{14}|City of License{27}", 1.5, 4.4,
               46, 15);
    EZ_CONTROL(kForm, kSlAdd, EzKind::Button, "&Add", 49.5, 4.4, 11, 1.7);
    EZ_CONTROL(kForm, kSlEdit, EzKind::Button, "&Edit", 49.5, 6.6, 11, 1.7);
    EZ_CONTROL(kForm, kSlExit, EzKind::Button, "E&xit", 49.5, 8.8, 11, 1.7);
    EZ_CONTROL(kForm, kSlHelp, EzKind::Button, "&Help", 49.5, 17.7, 11, 1.7);
    if (Opts().tipsOn) {
        EZ_SETTOOLTIP(kForm, kSlQuarter, "Select a quarter, right-click to add a previous quarter");
        EZ_SETTOOLTIP(kForm, kSlList, "Double-click a station to edit");
        EZ_SETTOOLTIP(kForm, kSlAdd, "Add new stations");
        EZ_SETTOOLTIP(kForm, kSlEdit, "Edit selected station");
    }
}

void Loaded() {
    KeepDesignedSize(kForm, kStationListWidth, kStationListHeight);
    EZ_SETFORMMINMAX(kForm, kStationListWidth, kStationListHeight, kStationListWidth,
                     kStationListHeight);
    RestoreFormPlace(kForm, Paths().settingsFile, 1);
    FillQuarterSelector(kForm, kSlQuarter, 1);
    St().quarter = TodayQuarter();
    FillStationList();
    Shell().helpTopic = kHelpTopic;
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    EZ_ENABLE(kForm, kSlEdit, false);
}

void EditSelected() {
    if (St().selectedId <= 0) return;
    OpenEditor(St().selectedId);
}

void SL_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    if (CommonFormEvent(kForm, id, ev, {kSlHelp, kSlExit, kHelpTopic}, kHelpTopic)) return;
    switch (id) {
        case 0:
            if (ev == EzEvent::Loaded) {
                St() = ShownStations{};
                Loaded();
            } else if (ev == EzEvent::Close) {
                SaveFormPlace(kForm, Paths().settingsFile);
            }
            break;
        case kSlQuarter:
            if (ev == EzEvent::Change) {
                ShowQuarterFromSelector();
                FillStationList();
            } else if (ev == EzEvent::RightClick) {
                if (OfferPreviousQuarter(St().quarter)) {
                    St().quarterMade = true;
                    FillQuarterSelector(kForm, kSlQuarter, 1);
                    // The selector shows today's quarter again: show its stations,
                    // so that an added station goes into the quarter on screen.
                    ShowQuarterFromSelector();
                    FillStationList();
                }
            }
            break;
        case kSlList:
            if (ev == EzEvent::Click || ev == EzEvent::SelChange) {
                const int row = EZ_LVNEXTSELECTED(kForm, kSlList, -1);
                if (row >= 0) {
                    St().selectedId = EZ_LVGETVALUE(kForm, kSlList, row);
                    EZ_ENABLE(kForm, kSlEdit, true);
                } else {
                    St().selectedId = 0;
                    EZ_ENABLE(kForm, kSlEdit, false);
                }
            } else if (ev == EzEvent::DblClick) {
                if (value >= 0 && value < EZ_LVROWCOUNT(kForm, kSlList))
                    St().selectedId = EZ_LVGETVALUE(kForm, kSlList, static_cast<int>(value));
                EditSelected();
            }
            break;
        case kSlAdd:
            if (ev == EzEvent::Click) {
                St().selectedId = 0;
                OpenEditor(0);
            }
            break;
        case kSlEdit:
            if (ev == EzEvent::Click) EditSelected();
            break;
        default:
            break;
    }
}

constexpr ControlName kControls[] = {
    {"Quarter", kSlQuarter}, {"List", kSlList}, {"Add", kSlAdd},   {"Edit", kSlEdit},
    {"Exit", kSlExit},       {"Help", kSlHelp}, {"Frame", kFrame},
};

}  // namespace

constinit const FormDecl kStationListForm = {
    .name = "SL",
    .caption = "Station List",
    .width = kStationListWidth,
    .height = kStationListHeight,
    .style = "",
    .helpTopic = kHelpTopic,
    .design = Design,
    .event = SL_Event,
    .controls = kControls,
};

bool OpenStationList(const std::string& parent) {
    OpenForm(kStationListForm, parent);
    return St().quarterMade;
}
