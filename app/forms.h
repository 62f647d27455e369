// The forms of the application shell, and the form table that dispatches the
// toolkit's design and event calls to every form by its two-letter name.
#pragma once

#include <cstdint>
#include <string>

#include "editors/forms.h"
#include "reports/forms.h"
#include "services/forms.h"
#include "ui/forms.h"

VANTREL_FORM(VL)  // main window                 app/main_window.cpp
VANTREL_FORM(PO)  // Program Options             app/options_dialog.cpp

void DesignForm(const std::string& form);
void DispatchEvent(const std::string& form, int id, EzEvent ev, int64_t value, int& cancel);
