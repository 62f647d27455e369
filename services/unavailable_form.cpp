#include "services/unavailable_form.h"

namespace {
constexpr int kMessageId = 100;
constexpr int kCloseId = 105;
}  // namespace

void UnavailableFormDesign(const std::string& form, const std::string& what) {
    EZ_CONTROL(form, kMessageId, EzKind::Label,
               what + " is not available in this version of Vantrel.", 2, 1, 46, 2.5);
    EZ_CONTROL(form, kCloseId, EzKind::Button, "&Close", 38, 4, 10, 1.5);
}

void UnavailableFormEvent(const std::string& form, int id, EzEvent ev) {
    if (id == kCloseId && ev == EzEvent::Click) EZ_UNLOADFORM(form);
}
