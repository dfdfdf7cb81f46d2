// Joining folders and names, the 260-character path limit, and the test that
// keeps a record's relative name inside the folder it is meant for. Every
// separator test walks the text under the ANSI code page's double-byte rules.
#pragma once

#include <windows.h>

#include "../classlib/cstring.h"

// The longest path that fits the system's 260-byte path buffers with their NUL.
constexpr int kMaxPathLength = MAX_PATH - 1;

// True when path fits kMaxPathLength; a path that does not is skipped, never shortened.
bool FitsPath(const char* path);

// True when text ends with a '\' or '/' that is a character of its own (not the
// trail byte of a double-byte character).
bool EndsWithSeparator(const char* text);

// folder + '\' + name, the '\' left out when folder already ends with '\' or '/'.
CString JoinFolder(const char* folder, const char* name);

// True when path is a non-empty relative name that stays inside its folder: no
// drive letter or other ':', no leading '\' or '/', no ".." step.
bool IsSafeRelativePath(const char* path);

// True for the entries "." and ".." that a search of a folder returns.
bool IsDotEntry(const char* name);

// True when folder exists and holds no entry but "." and "..".
bool IsEmptyFolder(const char* folder);

// Whether path names something that exists, and whether that is a folder.
bool PathExists(const char* path);
bool IsFolder(const char* path);

// Writes attributes (as read from path) back without read-only and hidden when
// either is set (never when they are INVALID_FILE_ATTRIBUTES), then deletes path
// as a file. Non-zero when deleted.
BOOL ClearAttributesAndDelete(const char* path, DWORD attributes);
