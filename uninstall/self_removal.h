// The two-process self-removal: the installed uninstaller hands over to a copy of
// itself in the temporary folder, which removes the product and then itself.
#pragma once

#include "../classlib/cstring.h"

// Starts the temporary copy with "-delself", the uninstaller's path and "-s" when
// silent, and ends this process at once. Returns only when the copy cannot be
// started (a path too long to quote included); then nothing has been removed.
void LaunchSelfRemoval();

// The copy's command line: tempPath and uninstallerPath quoted when they hold a
// blank or a tab. False when a quoted path would not fit 259 characters.
bool BuildSelfRemovalCommand(const char* tempPath, const char* uninstallerPath, bool silent, CString& command);

// The install folder of the uninstaller at path: its drive and directory, ending
// with '\'; "" when the path has no folder part or is longer than 259 characters.
CString UninstallerFolder(const char* path);

// The temporary copy's pass over the installed uninstaller at uninstallerPath:
// removes the product and ends the process with exit code 0 through the normal exit.
[[noreturn]] void RunSelfRemovalPass(const char* uninstallerPath);
