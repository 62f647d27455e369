// The form table: design and event calls dispatched on the two-letter name.
#include <map>

#include "app/forms.h"

namespace {

struct FormEntry {
    void (*design)();
    void (*event)(int, EzEvent, int64_t, int&);
};

const std::map<std::string, FormEntry>& FormTable() {
    static const std::map<std::string, FormEntry> table = {
        {"VL", {VL_Design, VL_Event}},
        {"AB", {AB_Design, AB_Event}},
        {"AN", {AN_Design, AN_Event}},
        {"BU", {BU_Design, BU_Event}},
        {"CI", {CI_Design, CI_Event}},
        {"CQ", {CQ_Design, CQ_Event}},
        {"CS", {CS_Design, CS_Event}},
        {"ES", {ES_Design, ES_Event}},
        {"FC", {FC_Design, FC_Event}},
        {"IL", {IL_Design, IL_Event}},
        {"IM", {IM_Design, IM_Event}},
        {"PA", {PA_Design, PA_Event}},
        {"PD", {PD_Design, PD_Event}},
        {"PO", {PO_Design, PO_Event}},
        {"PQ", {PQ_Design, PQ_Event}},
        {"SI", {SI_Design, SI_Event}},
        {"SL", {SL_Design, SL_Event}},
        {"SR", {SR_Design, SR_Event}},
        {"TS", {TS_Design, TS_Event}},
        {"WN", {WN_Design, WN_Event}},
        {"XD", {XD_Design, XD_Event}},
        {"XE", {XE_Design, XE_Event}},
        {"XS", {XS_Design, XS_Event}},
        {"ZD", {ZD_Design, ZD_Event}},
        {"DGMSGBOX1", {MsgBox_Design, MsgBox_Event}},
    };
    return table;
}

}  // namespace

void DesignForm(const std::string& form) {
    auto it = FormTable().find(form);
    if (it != FormTable().end()) it->second.design();
    // Unknown names and the toolkit's own dialog names ("{OPENDLG}" ...) are ignored.
}

void DispatchEvent(const std::string& form, int id, EzEvent ev, int64_t value, int& cancel) {
    auto it = FormTable().find(form);
    if (it != FormTable().end()) it->second.event(id, ev, value, cancel);
}
