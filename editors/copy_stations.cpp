// Form CS
#include "app/forms.h"

void CS_Design() {}
void CS_Event(int, EzEvent, int64_t, int&) {}
