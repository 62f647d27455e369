// Forms SR and TS: the service report (not offered in this version).
#include "services/forms.h"
#include "services/unavailable_form.h"

void SR_Design() {
    UnavailableFormDesign("SR", "The service report");
}
void SR_Event(int id, EzEvent ev, int64_t, int&) {
    UnavailableFormEvent("SR", id, ev);
}
void TS_Design() {
    UnavailableFormDesign("TS", "The service report");
}
void TS_Event(int id, EzEvent ev, int64_t, int&) {
    UnavailableFormEvent("TS", id, ev);
}
