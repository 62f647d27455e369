// Form BU: backup of the database (not offered in this version).
#include "services/forms.h"
#include "services/unavailable_form.h"

void BU_Design() {
    UnavailableFormDesign("BU", "Backing up the database");
}
void BU_Event(int id, EzEvent ev, int64_t, int&) {
    UnavailableFormEvent("BU", id, ev);
}
