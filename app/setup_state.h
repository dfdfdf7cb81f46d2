// The process-wide setup state: folders, the program group, option flags and the
// package's version, filled in order by the command line, the registry and an
// earlier installation, the wizard and the install run.
#pragma once

#include <windows.h>

#include "../classlib/cstring.h"

extern CString g_strInstallDir;  // destination folder, no trailing backslash
extern CString g_strSourceDir;   // package folder (the running executable's), no trailing backslash
extern CString g_strGroupName;   // program group, relative to the programs folder
extern CString g_strNextText;    // saved captions of the wizard's Next and Cancel buttons
extern CString g_strCancelText;

extern BOOL g_bSilent;
extern BOOL g_bFreshInstall;
extern BOOL g_bUpgrade;
extern BOOL g_bAllUsers;
extern BOOL g_bAutoStart;
extern BOOL g_bDesktopIcon;
extern BOOL g_bRunAfter;

using PFN_ISWOW64PROCESS = BOOL(WINAPI*)(HANDLE process, PBOOL wow64);
// IsWow64Process of kernel32, or null on systems that lack it; resolved once at start-up.
extern PFN_ISWOW64PROCESS g_pfnIsWow64Process;
PFN_ISWOW64PROCESS LookUpIsWow64Process();

// A file's fixed version, each part an unsigned 16-bit value.
struct FileVersionParts {
    DWORD major = 0;
    DWORD minor = 0;
    DWORD release = 0;
    DWORD build = 0;
};

// The version of the last file read; after the setup driver has read the
// versions, the package's version.
extern FileVersionParts FileVersion;

// ((major*100 + minor)*100 + release)*100 + build in unsigned 32-bit arithmetic:
// versions compare by this number, so a part above 99 spills into the next.
DWORD VersionNumber(const FileVersionParts& version);

// Sets FileVersion from the file's fixed version information; all parts 0 when
// the file is missing or has none.
void ReadFileVersion(const char* path);

// The value's text (bytes up to the first NUL), or "" when the key or value is
// missing or the data does not fit 260 bytes. Never reports an error.
CString ReadRegistryString(HKEY root, const char* subkey, const char* valueName);

// True when text ends with a backslash that is a character of its own (not the
// trail byte of a double-byte character).
bool EndsWithBackslash(const char* text);
// text without one trailing backslash, if it has one.
CString WithoutTrailingBackslash(const char* text);

// The text before the last backslash, one trailing backslash ignored; "" for
// null, for a path without a backslash, or one whose only backslash comes first.
CString GetParentFolder(const char* path);
