// Form MsgBox
#include "app/forms.h"

void MsgBox_Design() {}
void MsgBox_Event(int, EzEvent, int64_t, int&) {}
