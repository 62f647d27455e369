// Design and event procedures of every form, dispatched by the form table.
#pragma once

#include <cstdint>
#include <string>

#include "app/toolkit/ez.h"

#define VANTREL_FORM(NAME) \
    void NAME##_Design();  \
    void NAME##_Event(int id, EzEvent ev, int64_t value, int& cancel);

VANTREL_FORM(VL)      // main window                 app/main_window.cpp
VANTREL_FORM(AB)      // About                       ui/about_box.cpp
VANTREL_FORM(AN)      // Vantrel Analysis            reports/analysis_report.cpp
VANTREL_FORM(BU)      // Backup Vantrel Database     services/backup.cpp
VANTREL_FORM(CI)      // Copy Issues                 editors/copy_issues.cpp
VANTREL_FORM(CQ)      // Add A Previous Quarter      data/quarter_dialog.cpp
VANTREL_FORM(CS)      // Copy Stations               editors/copy_stations.cpp
VANTREL_FORM(ES)      // Add Station                 editors/station_edit.cpp
VANTREL_FORM(IL)      // Issues List                 editors/issues_list.cpp
VANTREL_FORM(IM)      // Import Airings              services/import_form.cpp
VANTREL_FORM(PD)      // Program Detail              editors/program_detail.cpp
VANTREL_FORM(PO)      // Program Options             app/options_dialog.cpp
VANTREL_FORM(PQ)      // Print Issues & Programs List reports/print_dialog.cpp
VANTREL_FORM(SI)      // Select Issues               editors/issue_select.cpp
VANTREL_FORM(SL)      // Station List                editors/station_list.cpp
VANTREL_FORM(SR)      // Service Report              services/service_report.cpp
VANTREL_FORM(TS)      // Service Report Terms        services/service_report.cpp
VANTREL_FORM(WN)      // Update Information          services/update.cpp
VANTREL_FORM(XD)      // Delete from Dictionary      services/spell_dialogs.cpp
VANTREL_FORM(XE)      // Spell Check Editor          services/spell_dialogs.cpp
VANTREL_FORM(XS)      // Spell Check                 services/spell_dialogs.cpp
VANTREL_FORM(ZD)      // Updating...                 services/update.cpp
VANTREL_FORM(MsgBox)  // "DGMSGBOX1"              ui/msgbox.cpp

#undef VANTREL_FORM

// Opens a form by name with the caption of the form table, modal over parent
// ("" for none), centred, at the given size in character units.
void OpenForm(const std::string& name, const std::string& parent, double width, double height,
              const std::string& style = "");
// Caption of a form in the form table ("" for an unknown name).
std::string FormCaption(const std::string& name);
