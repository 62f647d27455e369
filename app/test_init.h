// The program's forms inside a test process (tests, benchmarks, fuzz replays,
// the scenario runner): linked through vantrel_program_testing only, never by
// the program itself.
#pragma once

// Creates the offscreen application and wires in the program: the form table,
// fonts and colours, the message box for prompts (also as the one the robot
// answers) and the image folder, without running StartApplication. Safe to
// call more than once.
void EzTestInit(int argc = 0, char** argv = nullptr);
