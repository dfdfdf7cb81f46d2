// The setup run, once the program entry has dealt with running instances.
#pragma once

#include <windows.h>

#include "../classlib/cstring.h"

// Settles the setup state, checks the package, installs silently or through the
// wizard and ends with the finishing actions. False: the run went through; true:
// it was abandoned. A damaged package ends the process with exit code 1.
BOOL RunSetup();

// The running executable's folder, without a trailing backslash ("" when its path
// has no backslash).
CString GetModuleFolder();

// "ProgramFilesDir" of the system, else the Windows folder's drive part followed
// by "Program Files"; one trailing backslash removed.
CString GetProgramFilesDir();

// Applies "-instdir", "-runafter", "-allusers", "-autostart" and "-nodeskico"
// from argv[1] on to the setup state; other arguments are ignored.
void ApplySetupOptions(int argc, const char* const* argv);
