// The declarations of the maintenance services' forms.
#pragma once

#include "ui/forms.h"

extern const FormDecl kBackupForm;         // BU  services/backup_form.cpp
extern const FormDecl kImportForm;         // IM  services/import_form.cpp
extern const FormDecl kServiceReportForm;  // SR  services/service_report_forms.cpp
extern const FormDecl kTermsForm;          // TS  services/service_report_forms.cpp
extern const FormDecl kUpdateNewsForm;     // WN  services/update.cpp
extern const FormDecl kSpellDeleteForm;    // XD  services/spell_forms.cpp
extern const FormDecl kSpellEditorForm;    // XE  services/spell_forms.cpp
extern const FormDecl kSpellCheckForm;     // XS  services/spell_forms.cpp
extern const FormDecl kUpdatingForm;       // ZD  services/update.cpp
