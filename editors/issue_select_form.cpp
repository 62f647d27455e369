// Form SI: picks the issues a program addressed from the station's issues of
// the quarter; ChooseIssues returns the choice to the program editor.
#include <optional>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/toolkit/ez_forms.h"
#include "editors/forms.h"
#include "editors/issues.h"

namespace {

const char* const kForm = "SI";

enum : int {
    kFrameId = 120,
};

// What the open dialog offers and what it chose.
struct IssueSelection {
    int32_t quarter = 0;
    RowId stationId = 0;
    std::vector<std::string> preselected;  // titles of the entry as the editor loaded it
    std::vector<IssueChoice> listed;       // the listed issues; an item's value is its position
    std::optional<std::vector<IssueChoice>> chosen;  // set by OK
};

IssueSelection& Sel() {
    static IssueSelection selection;
    return selection;
}

bool AnySelected() {
    const int count = EZ_ITEMCOUNT(kForm, kSiList);
    for (int i = 0; i < count; ++i) {
        if (EZ_ITEMSELECTED(kForm, kSiList, i)) return true;
    }
    return false;
}

void OnLoaded() {
    IssueSelection& sel = Sel();
    sel.chosen.reset();
    const std::vector<IssueChoice> choices = ReadStationIssues(sel.quarter, sel.stationId);
    const std::vector<bool> preselect = PreselectIssues(choices, sel.preselected);
    EZ_CLEARITEMS(kForm, kSiList);
    for (size_t i = 0; i < choices.size(); ++i)
        EZ_ADDITEM(kForm, kSiList, choices[i].title, static_cast<int64_t>(i));
    sel.listed = choices;
    for (size_t i = 0; i < choices.size(); ++i) {
        if (preselect[i]) EZ_SETITEMSELECTED(kForm, kSiList, static_cast<int>(i), true);
    }
    // OK asks for a choice that the user makes here, even when the entry
    // already had issues.
    EZ_ENABLE(kForm, kSiOk, false);
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
}

void OnOk() {
    if (!AnySelected()) return;
    IssueSelection& sel = Sel();
    std::vector<IssueChoice> chosen;
    const int count = EZ_ITEMCOUNT(kForm, kSiList);
    for (int i = 0; i < count; ++i) {
        if (!EZ_ITEMSELECTED(kForm, kSiList, i)) continue;
        const RowId id = i < static_cast<int>(sel.listed.size()) ? sel.listed[i].id : 0;
        chosen.push_back({id, EZ_ITEMTEXT(kForm, kSiList, i)});
    }
    sel.chosen = std::move(chosen);
    EZ_UNLOADFORM(kForm);
}

void SI_Design() {
    EZ_CONTROL(kForm, kFrameId, EzKind::Frame, "Select One or More Issues Addressed", 1, 0.4, 44,
               18.4);
    EZ_CONTROL(kForm, kSiList, EzKind::ListBox, "", 2.5, 1.9, 41, 16.4, "M");
    EZ_CONTROL(kForm, kSiOk, EzKind::Button, "&OK", 6, 19.6, 11, 1.7);
    EZ_CONTROL(kForm, kSiCancel, EzKind::Button, "&Cancel", 17.5, 19.6, 11, 1.7);
    EZ_CONTROL(kForm, kSiHelp, EzKind::Button, "&Help", 29, 19.6, 11, 1.7);
}

void SI_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    // Help shows the page of the program editor that asked for the choice.
    if (CommonFormEvent(kForm, id, ev, {kSiHelp, kSiCancel}, Shell().helpTopic)) return;
    switch (id) {
        case 0:
            if (ev == EzEvent::Loaded) OnLoaded();
            break;
        case kSiList:
            if (ev == EzEvent::Change) EZ_ENABLE(kForm, kSiOk, AnySelected());
            break;
        case kSiOk:
            if (ev == EzEvent::Click) OnOk();
            break;
        default:
            break;
    }
}

constexpr ControlName kControls[] = {
    {"List", kSiList}, {"Ok", kSiOk}, {"Cancel", kSiCancel}, {"Help", kSiHelp}, {"Frame", kFrameId},
};

}  // namespace

// Help shows the topic of the editor that asked for the choice.
constinit const FormDecl kIssueSelectForm = {
    .name = "SI",
    .caption = "Select Issues",
    .width = kIssueSelectWidth,
    .height = kIssueSelectHeight,
    .style = "",
    .helpTopic = 0,
    .design = SI_Design,
    .event = SI_Event,
    .controls = kControls,
};

std::optional<std::vector<IssueChoice>> ChooseIssues(const std::string& parent, int32_t quarter,
                                                     RowId stationId,
                                                     const std::vector<std::string>& preselected) {
    Sel() = IssueSelection{quarter, stationId, preselected, {}, std::nullopt};
    OpenForm(kIssueSelectForm, parent);
    std::optional<std::vector<IssueChoice>> chosen = std::move(Sel().chosen);
    Sel() = IssueSelection{};
    return chosen;
}
