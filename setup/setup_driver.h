// The setup run, once the program entry has dealt with running instances.
#pragma once

#include <windows.h>

// Settles the setup state, checks the package, installs silently or through the
// wizard and ends with the finishing actions. False: the run went through; true:
// it was abandoned. A damaged package ends the process with exit code 1.
BOOL RunSetup();
