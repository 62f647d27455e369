#include "app/test_init.h"

#include <cstdlib>
#include <string>

#include "app/forms.h"
#include "app/startup.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/ez_testing.h"
#include "app/toolkit/robot.h"
#include "ui/msgbox.h"

void EzTestInit(int argc, char** argv) {
    EzTestApp(argc, argv);
    static bool wired = false;
    if (wired) return;
    wired = true;
    EZ_SETPROCS(DispatchEvent, DesignForm);
    DefineFontsAndColours();
    InstallMessageBox();
    SetRobotStart(StartApplication);
    SetRobotMessageBox({kMsgBoxForm, kMsgText1Id, kMsgCheckId, kMsgFirstButtonId});
    // Steps may name a control as its form declares it.
    SetRobotControlNames([](const std::string& form, const std::string& name) {
        const FormDecl* decl = FindForm(form);
        return decl ? ControlIdIn(*decl, name) : -1;
    });
    if (const char* p = std::getenv("VANTREL_PROGRAM_DIR"))
        EZ_SETIMAGEFOLDER(std::string(p) + "/Images");
}
