#include "ui/forms.h"

void OpenForm(const FormDecl& form, const std::string& parent) {
    std::string style(form.style);
    if (style.find('N') == std::string::npos && style.find('M') == std::string::npos) style += 'M';
    EZ_FORM(std::string(form.name), parent, std::string(form.caption), -1, -1, form.width,
            form.height, style);
}
