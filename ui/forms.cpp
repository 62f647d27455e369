#include "ui/forms.h"

int ControlIdIn(const FormDecl& form, std::string_view name) {
    for (const ControlName& c : form.controls)
        if (c.name == name) return c.id;
    return -1;
}

void OpenForm(const FormDecl& form, const std::string& parent) {
    std::string style(form.style);
    if (style.find('N') == std::string::npos && style.find('M') == std::string::npos) style += 'M';
    EZ_FORM(std::string(form.name), parent, std::string(form.caption), -1, -1, form.width,
            form.height, style);
}
