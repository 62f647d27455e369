// Form CQ
#include "app/forms.h"

void CQ_Design() {}
void CQ_Event(int, EzEvent, int64_t, int&) {}
