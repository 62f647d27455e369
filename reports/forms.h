// The declarations of the report dialogs.
#pragma once

#include "ui/forms.h"

extern const FormDecl kAnalysisForm;     // AN  reports/analysis_report.cpp
extern const FormDecl kFilingCheckForm;  // FC  reports/filing_check_form.cpp
extern const FormDecl kPrintAllForm;     // PA  reports/all_stations_print.cpp
extern const FormDecl kPrintForm;        // PQ  reports/print_form.cpp
