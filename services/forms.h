// Design and event procedures of the maintenance services' forms.
#pragma once

#include "ui/forms.h"

VANTREL_FORM(BU)  // Backup Vantrel Database     services/backup.cpp
VANTREL_FORM(IM)  // Import Airings              services/import_form.cpp
VANTREL_FORM(SR)  // Service Report              services/service_report.cpp
VANTREL_FORM(TS)  // Service Report Terms        services/service_report.cpp
VANTREL_FORM(WN)  // Update Information          services/update.cpp
VANTREL_FORM(XD)  // Delete from Dictionary      services/spell_dialogs.cpp
VANTREL_FORM(XE)  // Spell Check Editor          services/spell_dialogs.cpp
VANTREL_FORM(XS)  // Spell Check                 services/spell_dialogs.cpp
VANTREL_FORM(ZD)  // Updating...                 services/update.cpp
