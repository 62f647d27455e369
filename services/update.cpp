// Form WN ZD
#include "app/forms.h"

void WN_Design() {}
void WN_Event(int, EzEvent, int64_t, int&) {}
void ZD_Design() {}
void ZD_Event(int, EzEvent, int64_t, int&) {}
