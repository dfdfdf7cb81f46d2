// Copying the package into the destination folder as its manifest says.
#pragma once

#include <windows.h>

#include "../classlib/cstring.h"

// Acts on the manifest's "File Copy: ", "File Copy x64: ", "File Copy ind: " and
// "Make Dir: " records, in file order, from g_strSourceDir into g_strInstallDir.
void ProcessManifest(const char* manifestPath);

// Installs every file of sourceFolder that matches pattern (which may name a
// subfolder) into the same relative place under destFolder, creating destFolder
// and its missing parents first (only when something matches). Matching folders
// are passed over; stops at the first file that fails; returns the number copied.
int CopyMatchingFiles(const char* pattern, const char* destFolder, const char* sourceFolder);

// True when this 32-bit process runs on 64-bit Windows.
BOOL IsRunningUnderWow64();

// '/' becomes '\', then blanks (space, tab, CR, LF) and '\' go from both ends.
void NormalizeFolderName(CString& text);
