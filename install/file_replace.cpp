#include "file_replace.h"

#include <string.h>

#include "../classlib/cstring.h"
#include "paths.h"

namespace {
const DWORD kRenameSectionSize = 16384;

// Target in use: move it aside to ".old" (or ".old2" when an earlier ".old" is
// itself still in use), else leave the new file as ".new" for the next start.
void MoveAsideOrDefer(const CString& source, const CString& target)
{
    // Every name formed below must fit, or none is used.
    if (!FitsPath(target + ".old2")) return;
    CString old = target + ".old";
    if (PathExists(old) && !DeleteFileA(old)) {
        // A folder of that name is left alone, never scheduled for deletion.
        if (!IsFolder(old)) ScheduleDeleteAtReboot(old);
        old = target + ".old2";
        if (PathExists(old)) DeleteFileA(old);
    }
    if (MoveFileA(target, old)) {
        ScheduleDeleteAtReboot(old);
        return;
    }
    ScheduleDeleteAtReboot(target);
    CString next = target + ".new";
    if (PathExists(next)) DeleteFileA(next);
    if (CopyFileA(source, next, FALSE)) ScheduleRenameAtReboot(next, target);
}

// Letter case and the spelling of separators aside: the same folder written with
// '/' must count as the same, or its file would be deleted as its own target.
bool IsSameFolder(CString first, CString second)
{
    first.Replace('/', '\\');
    second.Replace('/', '\\');
    return first.CompareNoCase(second) == 0;
}
}  // namespace

BOOL InstallFile(const char* name, const char* sourceFolder, const char* destFolder, const char* newName,
                 bool targetKnownAbsent)
{
    // An empty name would make the folder itself the target.
    if (!*name || (newName && !*newName)) return FALSE;
    CString from = JoinFolder(sourceFolder, "");
    CString into = JoinFolder(destFolder, "");
    bool sameFolder = IsSameFolder(from, into);
    if (sameFolder && !newName) return TRUE;

    CString source = from + name;
    CString target = into + (newName ? newName : name);
    if (!FitsPath(source) || !FitsPath(target)) return FALSE;
    // With no target to clear away, the copy alone tells whether the source is there.
    if (targetKnownAbsent) return CopyFileA(source, target, FALSE);
    DWORD sourceAttributes = GetFileAttributesA(source);
    if (sourceAttributes == INVALID_FILE_ATTRIBUTES || (sourceAttributes & FILE_ATTRIBUTE_DIRECTORY)) return FALSE;
    DWORD targetAttributes = GetFileAttributesA(target);
    bool targetExists = targetAttributes != INVALID_FILE_ATTRIBUTES;
    // An existing folder is never deleted, moved aside or scheduled in place of a file.
    if (targetExists && (targetAttributes & FILE_ATTRIBUTE_DIRECTORY)) return FALSE;

    if (targetExists && sameFolder) {
        if (!DeleteFileA(target)) return TRUE;
    } else if (targetExists && !ClearAttributesAndDelete(target, targetAttributes)) {
        MoveAsideOrDefer(source, target);
    }
    return CopyFileA(source, target, FALSE);
}

BOOL ScheduleDeleteAtReboot(const char* path)
{
    if (MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return TRUE;
    return AppendWininitRename("NUL", path);
}

void ScheduleRenameAtReboot(const char* existingFile, const char* newPath)
{
    if (MoveFileExA(existingFile, newPath, MOVEFILE_DELAY_UNTIL_REBOOT)) return;
    AppendWininitRename(newPath, existingFile);
}

BOOL AppendWininitRename(const char* target, const char* source)
{
    char section[kRenameSectionSize];
    // The count excludes only the list's final NUL; a section that filled the
    // buffer reads as size - 2 and may have been cut, so it is never written back.
    DWORD used = GetPrivateProfileSectionA("rename", section, kRenameSectionSize, "WININIT.INI");
    CString entry = CString(target) + "=" + source;
    DWORD needed = used + static_cast<DWORD>(entry.GetLength()) + 2;
    if (used >= kRenameSectionSize - 2 || needed > kRenameSectionSize) return FALSE;
    memcpy(section + used, static_cast<const char*>(entry), entry.GetLength() + 1);
    section[needed - 1] = 0;
    return WritePrivateProfileSectionA("rename", section, "WININIT.INI");
}
