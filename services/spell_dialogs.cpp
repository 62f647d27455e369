// Form XD XE XS
#include "app/forms.h"

void XD_Design() {}
void XD_Event(int, EzEvent, int64_t, int&) {}
void XE_Design() {}
void XE_Event(int, EzEvent, int64_t, int&) {}
void XS_Design() {}
void XS_Event(int, EzEvent, int64_t, int&) {}
