// Form ES: adds stations one after another, or edits the selected one.
#include <functional>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_forms.h"
#include "data/query.h"
#include "editors/forms.h"
#include "editors/stations.h"
#include "services/spell.h"
#include "ui/layout.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kForm = "ES";
constexpr int kCallsLabel = 100, kCityLabel = 105;
constexpr int kHelpTopic = 200;

// What the opener asked for: the quarter stations are added to, the station
// edited (0: add stations), and what to do after each save.
struct StationEditRequest {
    int32_t quarter = 0;
    int64_t stationId = 0;
    std::function<void()> onSaved;
};

StationEditRequest& Request() {
    static StationEditRequest request;
    return request;
}

bool IsField(int id) {
    return id == kEsCalls || id == kEsCity;
}

void ApplyOkRule() {
    EZ_ENABLE(kForm, kEsOk,
              StationInputComplete(EZ_GETTEXT(kForm, kEsCalls), EZ_GETTEXT(kForm, kEsCity)));
}

// The call-letters field takes upper case only.
void ForceUpperCase() {
    const std::string text = EZ_GETTEXT(kForm, kEsCalls);
    const std::string upper = ToUpper(text);
    if (upper == text) return;
    const int caret = EZ_GETCURSORPOS(kForm, kEsCalls);
    EZ_SETTEXT(kForm, kEsCalls, upper);
    EZ_SELECTTEXT(kForm, kEsCalls, caret, 0);
}

void LoadStation(int64_t id) {
    ResultSet rs("SELECT Calls, License FROM Stations WHERE StnID = " + std::to_string(id));
    if (!rs.next()) return;
    EZ_SETTEXT(kForm, kEsCalls, rs["Calls"]);
    EZ_SETTEXT(kForm, kEsCity, rs["License"]);
}

void Loaded() {
    KeepDesignedSize(kForm, kStationEditWidth, kStationEditHeight);
    if (Request().stationId != 0) {
        EZ_SETTEXT(kForm, 0, "Edit Station");
        LoadStation(Request().stationId);
    }
    EZ_ENABLE(kForm, kEsOk, false);
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    EZ_ACCEL(kForm, "F7", kSpellKeyId);
    Shell().helpTopic = kHelpTopic;
    EZ_SETFOCUS(kForm, kEsCalls);
}

void Save() {
    const StationEditRequest& request = Request();
    std::string calls = EZ_GETTEXT(kForm, kEsCalls);
    std::string license = EZ_GETTEXT(kForm, kEsCity);
    switch (SaveStation(request.quarter, request.stationId, calls, license)) {
        case StationSave::Empty:
            ApplyOkRule();
            return;
        case StationSave::Duplicate:
            DgMsgOk("Duplicate Station Found",
                    "The station \"" + calls + "\" already exists.{f10,t4}",
                    "Call letters for each station can only be entered once.{f6}");
            return;
        case StationSave::Failed:
            DgMsgOk("Station Not Saved", "The station could not be saved.{f10,t4}",
                    "Your entries are kept (" + slGetError() + ").{f6}");
            return;
        case StationSave::Saved:
            break;
    }
    if (request.onSaved) request.onSaved();
    if (request.stationId != 0) {
        EZ_UNLOADFORM(kForm);
        return;
    }
    EZ_SETTEXT(kForm, kEsCalls, "");
    EZ_SETTEXT(kForm, kEsCity, "");
    EZ_ENABLE(kForm, kEsOk, false);
    EZ_SETTEXT(kForm, kEsCancel, "&Done");
    EZ_SETFOCUS(kForm, kEsCalls);
}

// Enter moves on like Tab; Esc closes without saving.
void FieldKey(int id, int64_t key, int& cancel) {
    if (key == kKeyEnter) {
        cancel = 1;
        if (id == kEsCalls) {
            EZ_SETFOCUS(kForm, kEsCity);
        } else {
            EZ_SETFOCUS(kForm, EZ_ISENABLED(kForm, kEsOk) ? kEsOk : kEsCancel);
        }
    } else if (key == kKeyEsc) {
        cancel = 1;
        EZ_UNLOADFORM(kForm);
    }
}

void ES_Design() {
    EZ_CONTROL(kForm, kCallsLabel, EzKind::Label, "Call Letters:", 2, 0.8, 24, 1.1);
    EZ_CONTROL(kForm, kCityLabel, EzKind::Label, "City/State of License:", 2, 4.1, 30, 1.1);
    EZ_CONTROL(kForm, kEsCalls, EzKind::Text, "", 2, 2.0, 16, 1.4);
    EZ_CONTROL(kForm, kEsCity, EzKind::Text, "", 2, 5.3, 32, 1.4);
    EZ_CONTROL(kForm, kEsOk, EzKind::Button, "&OK", 37, 0.9, 11, 1.7);
    EZ_CONTROL(kForm, kEsCancel, EzKind::Button, "&Cancel", 37, 3.0, 11, 1.7);
    EZ_CONTROL(kForm, kEsHelp, EzKind::Button, "&Help", 37, 5.1, 11, 1.7);
    if (Opts().tipsOn) {
        EZ_SETTOOLTIP(kForm, kEsCalls, "Call letters of the station, e.g. WWWW-FM");
        EZ_SETTOOLTIP(kForm, kEsCity, "City and state of license");
    }
}

void ES_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    if (CommonFormEvent(kForm, id, ev, {kEsHelp, kEsCancel}, kHelpTopic)) return;
    if (id == 0) {
        if (ev == EzEvent::Loaded) Loaded();
        return;
    }
    if (IsField(id)) {
        switch (ev) {
            case EzEvent::Change:
                if (id == kEsCalls) ForceUpperCase();
                ApplyOkRule();
                break;
            case EzEvent::GotFocus:
                // The focused field takes the pale yellow of the tooltips.
                EZ_SETCOLOR(kForm, id, -1, kColorTooltip);
                EZ_SELECTTEXT(kForm, id, static_cast<int>(EZ_GETTEXT(kForm, id).size()), 0);
                break;
            case EzEvent::LostFocus:
                EZ_SETCOLOR(kForm, id, -1, kColorWindow);
                break;
            case EzEvent::Key:
                FieldKey(id, value, cancel);
                break;
            default:
                break;
        }
        return;
    }
    if (ev != EzEvent::Click) return;
    switch (id) {
        case kEsOk:
            Save();
            break;
        case kSpellKeyId:
            if (IsField(EZ_GETFOCUS(kForm))) SpellCheckControl(kForm, EZ_GETFOCUS(kForm));
            break;
        default:
            break;
    }
}

constexpr ControlName kControls[] = {
    {"Calls", kEsCalls},       {"City", kEsCity}, {"Ok", kEsOk},
    {"Cancel", kEsCancel},     {"Help", kEsHelp}, {"CallsLabel", kCallsLabel},
    {"CityLabel", kCityLabel},
};

}  // namespace

constinit const FormDecl kStationEditForm = {
    .name = "ES",
    .caption = "Add Station",
    .width = kStationEditWidth,
    .height = kStationEditHeight,
    .style = "",
    .helpTopic = kHelpTopic,
    .design = ES_Design,
    .event = ES_Event,
    .controls = kControls,
};

void OpenStationEditor(const std::string& parent, int32_t quarter, int64_t stationId,
                       const std::function<void()>& onSaved) {
    Request() = {quarter, stationId, onSaved};
    OpenForm(kStationEditForm, parent);
    Request() = {};
}
