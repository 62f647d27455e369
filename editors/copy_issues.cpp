// Form CI
#include "app/forms.h"

void CI_Design() {}
void CI_Event(int, EzEvent, int64_t, int&) {}
