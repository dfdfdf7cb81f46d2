// The install run: everything that installing does once the options are settled.
#pragma once

#include "../classlib/cstring.h"

// Clears what a previous installation left in the way, copies the package,
// records the install log, makes the program group and shortcuts, writes the
// registry and copies the settings files. Runs to its end; always returns 0.
int RunInstall();

// The programs folder the group goes into: "Common Programs" for all users (when
// it has fewer than 4 characters, g_bAllUsers is cleared), else the user's
// "Programs". "" when neither can be read.
CString ReadProgramsFolder();

// Makes the group folder with every level of a nested group name under
// programsFolder and records it with "Made Dir: ". Returns its path, or "" (and
// makes nothing) when programsFolder is empty: never a folder at the drive root.
CString MakeProgramGroup(const CString& programsFolder);
