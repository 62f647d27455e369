// Form PO
#include "app/forms.h"

void PO_Design() {}
void PO_Event(int, EzEvent, int64_t, int&) {}
