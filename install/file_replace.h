// Putting one file of the package in place, whatever is there already, and the
// deferred deletions and renames that replacing a file in use needs.
#pragma once

#include <windows.h>

// Copies sourceFolder\name to destFolder\(newName or name). An existing target is
// overwritten; one in use is moved aside to ".old" (".old2") or replaced by ".new"
// at the next start of Windows. Non-zero when the file is in place now.
// targetKnownAbsent: the caller knows that nothing of the target's name exists
// (its folder was empty when a walk of distinct names began): the file is copied
// at once, and the copy fails by itself when the source is missing.
BOOL InstallFile(const char* name, const char* sourceFolder, const char* destFolder, const char* newName = nullptr,
                 bool targetKnownAbsent = false);

// Arranges the deletion of path at the next start of Windows (MoveFileEx, else the
// "rename" section of WININIT.INI). Non-zero when it was arranged.
BOOL ScheduleDeleteAtReboot(const char* path);

// Arranges that existingFile takes the name newPath at the next start of Windows.
void ScheduleRenameAtReboot(const char* existingFile, const char* newPath);

// The fallback where MoveFileEx cannot schedule: appends target=source to the
// "rename" section of WININIT.INI, keeping the earlier entries in their order.
// When the section with the new entry would not fit its 16,384 bytes, nothing
// is written and the result is FALSE.
BOOL AppendWininitRename(const char* target, const char* source);
