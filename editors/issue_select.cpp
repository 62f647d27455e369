// Form SI
#include "app/forms.h"

void SI_Design() {}
void SI_Event(int, EzEvent, int64_t, int&) {}
