// Form PD
#include "app/forms.h"

void PD_Design() {}
void PD_Event(int, EzEvent, int64_t, int&) {}
