// Form PQ, "Print Issues & Programs List": period, station and the date the
// list is placed in the public file.
#include "app/base/app_state.h"
#include "app/base/help.h"
#include "app/base/options.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_forms.h"
#include "data/dates.h"
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
constexpr int kHelpTopic = 430;

void UpdatePrintButton() {
    EZ_ENABLE(kForm, kPrint, !EZ_GETTEXT(kForm, kStation).empty());
}

// Refills the station list for the quarter shown; keeps `wanted` selected
// when the list holds it, else the first station.
void FillStations(const std::string& wanted) {
    FillReportStations(kForm, kPeriod, kStation, wanted, nullptr);
    UpdatePrintButton();
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
    FillReportPeriods(kForm, kPeriod);
    FillStations(MainWindowStation());
    if (Opts().tipsOn) EZ_SETTOOLTIP(kForm, kStation, "Select station to print");
    const ClockReading now = Now();
    EZ_DTSETFORMAT(kForm, kPlaced, PickerFormat());
    EZ_DTSET(kForm, kPlaced, now.year, now.month, now.day, 0, 0);
}

}  // namespace

void PQ_Design() {
    DesignReportChoice(kForm, kPeriodFrame, kPeriod, kStationFrame, kStation);
    EZ_CONTROL(kForm, kPlacedFrame, EzKind::Frame, "Date Placed in Public File", 1.5, 4.3, 47, 3.3);
    EZ_CONTROL(kForm, kPlaced, EzKind::DateTime, "", 2.5, 5.5, 20.5, 1.4);
    EZ_CONTROL(kForm, kPrint, EzKind::Button, "&Print", 9, 8.4, 10, 1.7);
    EZ_CONTROL(kForm, kCancel, EzKind::Button, "&Cancel", 20, 8.4, 10, 1.7);
    EZ_CONTROL(kForm, kHelp, EzKind::Button, "&Help", 31, 8.4, 10, 1.7);
}

void PQ_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    (void)value;
    (void)cancel;
    if (id == 0) {
        if (ev == EzEvent::Loaded) OnLoaded();
        if (ev == EzEvent::Activated) Shell().helpTopic = kHelpTopic;
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
            ReportChoice& in = ReportInputs();
            in.period = EZ_GETTEXT(kForm, kPeriod);
            in.station = EZ_GETTEXT(kForm, kStation);
            // A picker without a date gives 0, which the report prints as today.
            int y = 0, m = 0, d = 0, hour = 0, minute = 0;
            EZ_DTGET(kForm, kPlaced, y, m, d, hour, minute);
            in.placedDay = (y > 0 && m > 0 && d > 0) ? PickerJulianDate(kForm, kPlaced) : 0;
            PrintIssuesProgramsList(kForm);
            break;
        }
        case kCancel:
            EZ_UNLOADFORM(kForm);
            break;
        case kHelp:
        case kHelpKeyId:
            ShowHelp(kHelpTopic);
            break;
        default:
            break;
    }
}
