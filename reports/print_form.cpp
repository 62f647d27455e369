// Form PQ, "Print Issues & Programs List": period, station and the date the
// list is placed in the public file.
#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_forms.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "reports/all_stations_print.h"
#include "reports/filing_check.h"
#include "reports/forms.h"
#include "reports/issues_programs_list.h"
#include "ui/data_controls.h"

namespace {

constexpr const char* kForm = "PQ";
constexpr int kPeriod = 100;
constexpr int kStation = 105;
constexpr int kPlaced = 110;
constexpr int kPrint = 115;
constexpr int kCancel = 120;
constexpr int kHelp = 125;
constexpr int kPeriodFrame = 130;
constexpr int kStationFrame = 135;
constexpr int kPlacedFrame = 140;
constexpr int kCheck = 145;  // runs the pre-filing check for the chosen period and station
constexpr int kHelpTopic = 430;

// Offered after the stations when the quarter has two or more of them: one
// list per station in one go.
constexpr const char* kAllStations = "All Stations";

// The quarter and station the opener shows, which the dialog starts on.
struct PrintRequest {
    int32_t quarter = 0;
    std::string calls;
};

PrintRequest& Request() {
    static PrintRequest request;
    return request;
}

void UpdatePrintButton() {
    const bool chosen = !EZ_GETTEXT(kForm, kStation).empty();
    EZ_ENABLE(kForm, kPrint, chosen);
    EZ_ENABLE(kForm, kCheck, chosen);
}

// True when the station list shows its "All Stations" entry (always the last).
bool AllStationsChosen() {
    const int count = EZ_ITEMCOUNT(kForm, kStation);
    return count > 2 && EZ_SELECTEDITEM(kForm, kStation) == count - 1 &&
           EZ_GETTEXT(kForm, kStation) == kAllStations;
}

// Refills the station list for the quarter shown; keeps `wanted` selected
// when the list holds it, else the first station.
void FillStations(const std::string& wanted) {
    FillReportStations(kForm, kPeriod, kStation, wanted, nullptr);
    if (EZ_ITEMCOUNT(kForm, kStation) >= 2) {
        const int all = EZ_ADDITEM(kForm, kStation, kAllStations);
        if (wanted == kAllStations) EZ_SELECTITEM(kForm, kStation, all);
    }
    UpdatePrintButton();
}

int32_t PlacedDay() {
    // A picker without a date gives 0, which the report prints as today.
    int y = 0, m = 0, d = 0, hour = 0, minute = 0;
    EZ_DTGET(kForm, kPlaced, y, m, d, hour, minute);
    return (y > 0 && m > 0 && d > 0) ? PickerJulianDate(kForm, kPlaced) : 0;
}

std::string PickerFormat() {
    const std::string sep = Dates().separator;
    switch (Dates().format) {
        case 0:
            return "yyyy" + sep + "MM" + sep + "dd";
        case 2:
            return "dd" + sep + "MM" + sep + "yyyy";
        default:
            return "MM" + sep + "dd" + sep + "yyyy";
    }
}

void OnLoaded() {
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    FillReportPeriods(kForm, kPeriod, Request().quarter);
    FillStations(Request().calls);
    if (Opts().tipsOn) EZ_SETTOOLTIP(kForm, kStation, "Select station to print");
    const ClockReading now = Now();
    EZ_DTSETFORMAT(kForm, kPlaced, PickerFormat());
    EZ_DTSET(kForm, kPlaced, now.year, now.month, now.day, 0, 0);
}

void PQ_Design() {
    DesignReportChoice(kForm, kPeriodFrame, kPeriod, kStationFrame, kStation);
    EZ_CONTROL(kForm, kPlacedFrame, EzKind::Frame, "Date Placed in Public File", 1.5, 4.3, 47, 3.3);
    EZ_CONTROL(kForm, kPlaced, EzKind::DateTime, "", 2.5, 5.5, 20.5, 1.4);
    EZ_CONTROL(kForm, kPrint, EzKind::Button, "&Print", 2, 8.4, 10, 1.7);
    EZ_CONTROL(kForm, kCheck, EzKind::Button, "Check &List...", 13, 8.4, 13.5, 1.7);
    EZ_CONTROL(kForm, kCancel, EzKind::Button, "&Cancel", 27.5, 8.4, 10, 1.7);
    EZ_CONTROL(kForm, kHelp, EzKind::Button, "&Help", 38.5, 8.4, 10, 1.7);
}

void PQ_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    (void)value;
    (void)cancel;
    if (CommonFormEvent(kForm, id, ev, {kHelp, kCancel, kHelpTopic}, kHelpTopic)) return;
    if (id == 0) {
        if (ev == EzEvent::Loaded) OnLoaded();
        return;
    }
    if (ev == EzEvent::Change) {
        if (id == kPeriod) FillStations(EZ_GETTEXT(kForm, kStation));
        if (id == kStation) UpdatePrintButton();
        return;
    }
    if (ev != EzEvent::Click) return;
    switch (id) {
        case kPrint: {
            if (EZ_GETTEXT(kForm, kStation).empty()) return;
            if (AllStationsChosen()) {
                PrintAllStations(kForm, QuarterFromName(EZ_GETTEXT(kForm, kPeriod)), PlacedDay());
                break;
            }
            PrintIssuesProgramsList(kForm, ReportChoice{EZ_GETTEXT(kForm, kPeriod),
                                                        EZ_GETTEXT(kForm, kStation), PlacedDay()});
            break;
        }
        case kCheck:
            if (EZ_GETTEXT(kForm, kStation).empty()) return;
            OpenFilingCheck(kForm, QuarterFromName(EZ_GETTEXT(kForm, kPeriod)),
                            AllStationsChosen() ? std::string() : EZ_GETTEXT(kForm, kStation));
            if (EZ_FORMEXISTS(kForm)) Shell().helpTopic = kHelpTopic;
            break;
        default:
            break;
    }
}

constexpr ControlName kControls[] = {
    {"Period", kPeriod},           {"Station", kStation},
    {"Placed", kPlaced},           {"Print", kPrint},
    {"Cancel", kCancel},           {"Help", kHelp},
    {"PeriodFrame", kPeriodFrame}, {"StationFrame", kStationFrame},
    {"PlacedFrame", kPlacedFrame}, {"Check", kCheck},
    {"HelpKey", kHelpKeyId},
};

}  // namespace

constinit const FormDecl kPrintForm = {
    .name = "PQ",
    .caption = "Print Issues & Programs List",
    .width = kPrintDialogWidth,
    .height = kPrintDialogHeight,
    .style = "",
    .helpTopic = kHelpTopic,
    .design = PQ_Design,
    .event = PQ_Event,
    .controls = kControls,
};

void OpenPrintDialog(const std::string& parent, int32_t quarter, const std::string& stationCalls) {
    Request() = {quarter, stationCalls};
    OpenForm(kPrintForm, parent);
    Request() = {};
}
