// Form SL
#include "app/forms.h"

void SL_Design() {}
void SL_Event(int, EzEvent, int64_t, int&) {}
