// Form IL
#include "app/forms.h"

void IL_Design() {}
void IL_Event(int, EzEvent, int64_t, int&) {}
