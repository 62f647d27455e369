// Form ES
#include "app/forms.h"

void ES_Design() {}
void ES_Event(int, EzEvent, int64_t, int&) {}
