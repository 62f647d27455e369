#include "ui/forms.h"

#include <map>

namespace {

const std::map<std::string, std::string>& Captions() {
    static const std::map<std::string, std::string> captions = {
        {"VL", "Vantrel - Quarterly Issues & Programs List Manager"},
        {"AB", "About Vantrel"},
        {"AN", "Vantrel Analysis"},
        {"BU", "Backup Vantrel Database"},
        {"CI", "Copy Issues"},
        {"CQ", "Add A Previous Quarter"},
        {"CS", "Copy Stations"},
        {"ES", "Add Station"},
        {"FC", "Check List Before Filing"},
        {"IM", "Import Airings"},
        {"IL", "Issues List"},
        {"PA", "Printing All Stations"},
        {"PD", "Program Detail"},
        {"PO", "Program Options"},
        {"PQ", "Print Issues & Programs List"},
        {"SI", "Select Issues"},
        {"SL", "Station List"},
        {"SR", "Service Report"},
        {"TS", "Service Report Terms & Conditions"},
        {"WN", "Update Information"},
        {"XD", "Delete from Dictionary"},
        {"XE", "Spell Check Editor"},
        {"XS", "Spell Check"},
        {"ZD", "Updating..."},
        {"DGMSGBOX1", ""},
    };
    return captions;
}

}  // namespace

std::string FormCaption(const std::string& name) {
    auto it = Captions().find(name);
    return it == Captions().end() ? std::string() : it->second;
}

void OpenForm(const std::string& name, const std::string& parent, double width, double height,
              const std::string& style) {
    EZ_FORM(name, parent, FormCaption(name), -1, -1, width, height, style);
}
