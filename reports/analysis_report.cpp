// Form AN
#include "app/forms.h"

void AN_Design() {}
void AN_Event(int, EzEvent, int64_t, int&) {}
