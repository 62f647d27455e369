// The form table: design and event calls dispatched on the two-letter name.
#include <map>

#include "app/forms.h"
#include "app/startup.h"

namespace {

struct FormEntry {
    const char* caption;
    void (*design)();
    void (*event)(int, EzEvent, int64_t, int&);
};

const std::map<std::string, FormEntry>& FormTable() {
    static const std::map<std::string, FormEntry> table = {
        {"VL", {"Vantrel - Quarterly Issues & Programs List Manager", VL_Design, VL_Event}},
        {"AB", {"About Vantrel", AB_Design, AB_Event}},
        {"AN", {"Vantrel Analysis", AN_Design, AN_Event}},
        {"BU", {"Backup Vantrel Database", BU_Design, BU_Event}},
        {"CI", {"Copy Issues", CI_Design, CI_Event}},
        {"CQ", {"Add A Previous Quarter", CQ_Design, CQ_Event}},
        {"CS", {"Copy Stations", CS_Design, CS_Event}},
        {"ES", {"Add Station", ES_Design, ES_Event}},
        {"IL", {"Issues List", IL_Design, IL_Event}},
        {"IM", {"Import Airings", IM_Design, IM_Event}},
        {"PD", {"Program Detail", PD_Design, PD_Event}},
        {"PO", {"Program Options", PO_Design, PO_Event}},
        {"PQ", {"Print Issues & Programs List", PQ_Design, PQ_Event}},
        {"SI", {"Select Issues", SI_Design, SI_Event}},
        {"SL", {"Station List", SL_Design, SL_Event}},
        {"SR", {"Service Report", SR_Design, SR_Event}},
        {"TS", {"Service Report Terms & Conditions", TS_Design, TS_Event}},
        {"WN", {"Update Information", WN_Design, WN_Event}},
        {"XD", {"Delete from Dictionary", XD_Design, XD_Event}},
        {"XE", {"Spell Check Editor", XE_Design, XE_Event}},
        {"XS", {"Spell Check", XS_Design, XS_Event}},
        {"ZD", {"Updating...", ZD_Design, ZD_Event}},
        {"DGMSGBOX1", {"", MsgBox_Design, MsgBox_Event}},
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

std::string FormCaption(const std::string& name) {
    auto it = FormTable().find(name);
    return it == FormTable().end() ? std::string() : std::string(it->second.caption);
}

void OpenForm(const std::string& name, const std::string& parent, double width, double height,
              const std::string& style) {
    EZ_FORM(name, parent, FormCaption(name), -1, -1, width, height, style);
}
