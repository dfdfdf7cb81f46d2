// The product's registry entries: where it is installed and for whom, its
// application path, and its entry in the system's list of installed programs.
#pragma once

#include <windows.h>

#include "../classlib/cstring.h"

// Keys under HKEY_LOCAL_MACHINE: the product's own ("Path", "AllUsers"), its
// application path (default value: the installed Glimcap6.exe), its uninstall entry.
extern const char kProductKey[];
extern const char kAppPathKey[];
extern const char kUninstallKey[];

// Creates or opens root\keyPath (missing parents included) and sets valueName
// (null: the default value) to data as REG_SZ. True when the value was written.
bool WriteRegistryString(HKEY root, const char* keyPath, const char* data, const char* valueName = nullptr);

// The command line that starts the installed uninstaller: its path, in double
// quotes when it holds a blank, so that no "C:\Program.exe" can run in its place.
CString UninstallCommand(const char* installDir);

// Writes the nine values under HKEY_LOCAL_MACHINE in their fixed order from the
// setup state; a value that cannot be written is skipped silently.
void WriteRegistryEntries();
