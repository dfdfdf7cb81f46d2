// An earlier installation: where it is, which version it holds, and the scope and
// program group that a repeat installation takes over from it.
#pragma once

#include <windows.h>

#include "../classlib/cstring.h"

// The folder recorded by the product's "Path" value, else by the App Paths entry
// cut before "\Glimcap6.exe"; one trailing backslash removed. "" when none.
CString FindPreviousInstallDir();

// Compares the installed Glimcap6.exe with the package's (left in FileVersion);
// asks with string 16 or 17 when the package is not newer and the run is not
// silent. False when the user declined. Sets g_bUpgrade, g_bAllUsers, the group.
BOOL CheckInstalledVersion();

// Sets g_strGroupName from the last "Shell Link: " record of the earlier install
// log that lies in the programs folder and not in the start-up folder; leaves
// it unchanged when there is no log or no such record.
void ReadPreviousGroupName();
