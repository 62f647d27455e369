// Forms WN and ZD: the update download (not offered in this version).
#include "services/forms.h"
#include "services/unavailable_form.h"

void WN_Design() {
    UnavailableFormDesign("WN", "The program update");
}
void WN_Event(int id, EzEvent ev, int64_t, int&) {
    UnavailableFormEvent("WN", id, ev);
}
void ZD_Design() {
    UnavailableFormDesign("ZD", "The program update");
}
void ZD_Event(int id, EzEvent ev, int64_t, int&) {
    UnavailableFormEvent("ZD", id, ev);
}
