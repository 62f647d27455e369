// Form PQ
#include "app/forms.h"

void PQ_Design() {}
void PQ_Event(int, EzEvent, int64_t, int&) {}
