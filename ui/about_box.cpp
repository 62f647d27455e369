// Form AB
#include "app/forms.h"

void AB_Design() {}
void AB_Event(int, EzEvent, int64_t, int&) {}
