#include "services/maintenance.h"

#include "ui/msgbox.h"
