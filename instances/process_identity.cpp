// Which processes count as copies of the product or of this program.
//
// The rule: a process is one of ours when its executable's file name is
// "Glimcap6.exe" (any letter case), or when its executable's version information
// carries the same InternalName as this program's own executable. The second
// test follows this program under any file name: setup.exe, OrvUnInst.exe and
// the temporary copy of the uninstaller alike. A process whose executable cannot
// be read is not one of ours.
#include <stdlib.h>
#include <string.h>

#include "../classlib/cstring.h"
#include "close_instances.h"

namespace {
const char kProductExecutable[] = "Glimcap6.exe";

// The InternalName of the file's first translation, or "" when it has none.
CString ReadInternalName(const char* path)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return CString();
    void* block = malloc(size);
    if (!block) return CString();
    CString name;
    struct Translation { WORD language; WORD codePage; }* translations = nullptr;
    UINT length = 0;
    if (GetFileVersionInfoA(path, 0, size, block) &&
        VerQueryValueA(block, "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) &&
        length >= sizeof(Translation)) {
        char query[64];
        wsprintfA(query, "\\StringFileInfo\\%04x%04x\\InternalName", translations->language,
                  translations->codePage);
        char* value = nullptr;
        if (VerQueryValueA(block, query, reinterpret_cast<void**>(&value), &length) && value && length)
            name = CString(value, static_cast<int>(strnlen(value, length)));
    }
    free(block);
    return name;
}

const CString& OwnInternalName()
{
    static CString name = [] {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, sizeof path);
        return ReadInternalName(path);
    }();
    return name;
}
}  // namespace

bool IsInstanceProcess(HANDLE process)
{
    char path[MAX_PATH] = "";
    DWORD size = sizeof path;
    if (!QueryFullProcessImageNameA(process, 0, path, &size)) return false;
    const char* fileName = path + ReverseFindChar(path, '\\') + 1;
    if (lstrcmpiA(fileName, kProductExecutable) == 0) return true;
    const CString& own = OwnInternalName();
    return !own.IsEmpty() && ReadInternalName(path) == own;
}
