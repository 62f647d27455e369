// Form VL
#include "app/forms.h"

void VL_Design() {}
void VL_Event(int, EzEvent, int64_t, int&) {}
