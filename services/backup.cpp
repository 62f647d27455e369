// Form BU
#include "app/forms.h"

void BU_Design() {}
void BU_Event(int, EzEvent, int64_t, int&) {}
