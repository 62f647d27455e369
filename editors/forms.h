// Design and event procedures of the editor forms.
#pragma once

#include "ui/forms.h"

VANTREL_FORM(CI)  // Copy Issues                 editors/copy_issues.cpp
VANTREL_FORM(CS)  // Copy Stations               editors/copy_stations.cpp
VANTREL_FORM(ES)  // Add Station                 editors/station_edit.cpp
VANTREL_FORM(IL)  // Issues List                 editors/issues_list.cpp
VANTREL_FORM(PD)  // Program Detail              editors/program_detail.cpp
VANTREL_FORM(SI)  // Select Issues               editors/issue_select.cpp
VANTREL_FORM(SL)  // Station List                editors/station_list.cpp
