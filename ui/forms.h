// Forms by name: opening a form with its caption, and the design and event
// procedures of the forms of this layer. Each layer declares its own forms in
// its forms.h; the form table of the application dispatches to all of them.
#pragma once

#include <cstdint>
#include <string>

#include "app/toolkit/ez.h"

#define VANTREL_FORM(NAME) \
    void NAME##_Design();  \
    void NAME##_Event(int id, EzEvent ev, int64_t value, int& cancel);

VANTREL_FORM(AB)      // About                       ui/about_box.cpp
VANTREL_FORM(CQ)      // Add A Previous Quarter      ui/quarter_dialog.cpp
VANTREL_FORM(MsgBox)  // "DGMSGBOX1"                 ui/msgbox.cpp

// Opens a form by name with its caption, modal over parent ("" for none),
// centred, at the given size in character units.
void OpenForm(const std::string& name, const std::string& parent, double width, double height,
              const std::string& style = "");
// Caption of a form ("" for an unknown name).
std::string FormCaption(const std::string& name);
