// Forms as declared units. Each form declares itself once, next to its code:
// its two-letter name, caption, designed size, help topic, design and event
// procedures, and the names of its controls. The form table of the
// application (app/forms.h) is the list of these declarations; opening a form
// takes its declaration, so a caption or size is written in one place.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/toolkit/ez.h"

// A control of a form by name, as tests, scenarios and the documentation
// address it ("Add" for the station list's Add button).
struct ControlName {
    std::string_view name;
    int id = 0;
};

using FormDesignProc = void (*)();
using FormEventProc = void (*)(int id, EzEvent ev, int64_t value, int& cancel);

struct FormDecl {
    std::string_view name;     // two-letter form name ("SL"), the toolkit's key
    std::string_view caption;  // caption when opened
    double width = 0;          // designed size in character units
    double height = 0;
    std::string_view style;  // toolkit style letters ("R": resizable, "M"/"N": see EZ_FORM)
    int helpTopic = 0;       // topic F1 shows when the form opens (0: the opener's stays)
    FormDesignProc design = nullptr;
    FormEventProc event = nullptr;
    std::span<const ControlName> controls;  // every control id of the form, by name
};

// Opens a form over parent ("" for none), centred, at its declared size, with
// its caption. Unless its style says "N" (modeless), the form is modal and
// OpenForm returns only when it has closed, also without a parent, so that the
// opener can tell what it changed.
void OpenForm(const FormDecl& form, const std::string& parent);
// The id of the control a form declares under name (exact match); -1 when none.
int ControlIdIn(const FormDecl& form, std::string_view name);

// The forms of this layer.
extern const FormDecl kAboutForm;       // AB  ui/about_form.cpp
extern const FormDecl kAddQuarterForm;  // CQ  ui/add_quarter_form.cpp
extern const FormDecl kMsgBoxFormDecl;  // "DGMSGBOX1"  ui/msgbox.cpp
