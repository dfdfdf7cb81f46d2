// Shortcut files made through the shell-link object: the program group's four,
// the desktop's and the start-up folder's, each recorded in the install log.
#pragma once

#include <windows.h>

#include "../classlib/cstring.h"

// Set once COM has been initialised for this thread; COM is never uninitialised.
extern BOOL g_bComInitialized;

// "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders", under
// HKEY_LOCAL_MACHINE (common folders) or HKEY_CURRENT_USER (the user's).
extern const char kShellFoldersKey[];

// A shell folder: commonName under HKEY_LOCAL_MACHINE when allUsers, else userName
// under HKEY_CURRENT_USER; "" when it cannot be read.
CString ReadShellFolder(BOOL allUsers, const char* commonName, const char* userName);

// Saves a shortcut at linkPath to target (one pair of surrounding quotes dropped),
// with workingDir when given, and appends "Shell Link: " + linkPath to the install
// log once saved. Returns the save's result or that of the first failed step; a
// target over 511 or a link path over 259 characters is refused, never cut short.
HRESULT CreateShellLink(const char* target, const char* linkPath, const char* workingDir = nullptr);

// The six shortcuts in their order: the group's four when groupFolder names an
// existing folder, then the desktop's (g_bDesktopIcon) and the start-up one
// (g_bAutoStart). A shell folder that cannot be read gets no shortcut.
void CreateShortcuts(const char* groupFolder);
