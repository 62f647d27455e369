// The form table: every form of the program as its declaration, and the
// toolkit's design and event calls dispatched to them by two-letter name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editors/forms.h"
#include "reports/forms.h"
#include "services/forms.h"
#include "ui/forms.h"

extern const FormDecl kMainWindowForm;  // VL  app/main_window.cpp
extern const FormDecl kOptionsForm;     // PO  app/options_form.cpp

// Opens the options dialog over parent; true when the options were saved
// (the date format and tooltips of the opener may have changed).
bool OpenProgramOptions(const std::string& parent);

// Every form of the program, the main window first.
const std::vector<const FormDecl*>& FormTable();
// The declaration of a form by name; nullptr for a name the table does not hold.
const FormDecl* FindForm(const std::string& name);
// Caption of a form ("" for an unknown name).
std::string FormCaption(const std::string& name);

void DesignForm(const std::string& form);
void DispatchEvent(const std::string& form, int id, EzEvent ev, int64_t value, int& cancel);
