#include "paths.h"

#include "../classlib/handles.h"

#include <string.h>

bool FitsPath(const char* path) { return strlen(path) <= static_cast<size_t>(kMaxPathLength); }

bool EndsWithSeparator(const char* text)
{
    const char* last = nullptr;
    for (const char* p = text; *p; p = CharNextA(p)) last = p;
    return last && (*last == '\\' || *last == '/') && last[1] == 0;
}

CString JoinFolder(const char* folder, const char* name)
{
    CString path(folder);
    if (!EndsWithSeparator(path)) path += '\\';
    path += name;
    return path;
}

namespace {
// Windows drops trailing dots and blanks from a name, so ". ." and "..." climb
// like "..": any step made of dots and blanks only, with two dots or more.
bool IsClimbingStep(const char* first, const char* end)
{
    int dots = 0;
    for (const char* p = first; p < end; ++p) {
        if (*p == '.') ++dots;
        else if (*p != ' ') return false;
    }
    return dots >= 2;
}
}  // namespace

bool IsSafeRelativePath(const char* path)
{
    if (!*path || *path == '\\' || *path == '/' || FindChar(path, ':') >= 0) return false;
    const char* step = path;
    for (const char* p = path;; p = CharNextA(p)) {
        if (*p != 0 && *p != '\\' && *p != '/') continue;
        if (IsClimbingStep(step, p)) return false;
        if (*p == 0) return true;
        step = p + 1;
    }
}

bool PathExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool IsDotEntry(const char* name) { return strcmp(name, ".") == 0 || strcmp(name, "..") == 0; }

bool IsEmptyFolder(const char* folder)
{
    CString searchPath = JoinFolder(folder, "*");
    if (!FitsPath(searchPath)) return false;
    WIN32_FIND_DATAA found;
    CFindHandle search(FindFirstFileA(searchPath, &found));
    if (!search.IsValid()) return false;
    do
        if (!IsDotEntry(found.cFileName)) return false;
    while (FindNextFileA(search.Get(), &found));
    return true;
}

bool IsFolder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL ClearAttributesAndDelete(const char* path, DWORD attributes)
{
    const DWORD cleared = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    // Written back only when a bit changes: the write costs as much as the deletion.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & cleared))
        SetFileAttributesA(path, attributes & ~cleared);
    return DeleteFileA(path);
}
