// Design and event procedures of the report dialogs.
#pragma once

#include "ui/forms.h"

VANTREL_FORM(AN)  // Vantrel Analysis            reports/analysis_report.cpp
VANTREL_FORM(FC)  // Check List Before Filing    reports/filing_check_form.cpp
VANTREL_FORM(PA)  // Printing All Stations       reports/all_stations_print.cpp
VANTREL_FORM(PQ)  // Print Issues & Programs List reports/print_dialog.cpp
