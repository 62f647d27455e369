// The declarations of the editor forms.
#pragma once

#include "ui/forms.h"

extern const FormDecl kCopyIssuesForm;     // CI  editors/copy_issues_form.cpp
extern const FormDecl kCopyStationsForm;   // CS  editors/copy_stations_form.cpp
extern const FormDecl kStationEditForm;    // ES  editors/station_edit_form.cpp
extern const FormDecl kIssuesListForm;     // IL  editors/issues_list_form.cpp
extern const FormDecl kProgramDetailForm;  // PD  editors/program_detail_form.cpp
extern const FormDecl kIssueSelectForm;    // SI  editors/issue_select_form.cpp
extern const FormDecl kStationListForm;    // SL  editors/station_list_form.cpp
