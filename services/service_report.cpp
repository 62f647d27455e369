// Form SR TS
#include "app/forms.h"

void SR_Design() {}
void SR_Event(int, EzEvent, int64_t, int&) {}
void TS_Design() {}
void TS_Event(int, EzEvent, int64_t, int&) {}
