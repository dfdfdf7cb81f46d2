#include "setup_state.h"

#include <stdlib.h>

#include "../classlib/handles.h"

// The state's objects themselves are defined with the program's other static
// objects, in the order the program needs them built.

FileVersionParts FileVersion;

PFN_ISWOW64PROCESS LookUpIsWow64Process()
{
    HMODULE kernel = GetModuleHandleA("kernel32");
    return kernel ? reinterpret_cast<PFN_ISWOW64PROCESS>(GetProcAddress(kernel, "IsWow64Process")) : nullptr;
}

DWORD VersionNumber(const FileVersionParts& v)
{
    return ((v.major * 100u + v.minor) * 100u + v.release) * 100u + v.build;
}

void ReadFileVersion(const char* path)
{
    FileVersion = FileVersionParts();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return;
    void* block = malloc(size);
    if (!block) return;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (GetFileVersionInfoA(path, 0, size, block) &&
        VerQueryValueA(block, "\\", reinterpret_cast<void**>(&fixed), &fixedSize) && fixed &&
        fixedSize >= sizeof(VS_FIXEDFILEINFO)) {
        FileVersion.major = HIWORD(fixed->dwFileVersionMS);
        FileVersion.minor = LOWORD(fixed->dwFileVersionMS);
        FileVersion.release = HIWORD(fixed->dwFileVersionLS);
        FileVersion.build = LOWORD(fixed->dwFileVersionLS);
    }
    free(block);
}

CString ReadRegistryString(HKEY root, const char* subkey, const char* valueName)
{
    CRegKey key;
    if (RegOpenKeyExA(root, subkey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return CString();
    char buffer[260];
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key.Get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return CString();
    // The data need not end with a NUL: take at most what was read.
    int length = 0;
    while (length < static_cast<int>(size) && buffer[length]) ++length;
    return CString(buffer, length);
}

bool EndsWithBackslash(const char* text)
{
    int last = ReverseFindChar(text, '\\');
    return last >= 0 && text[last + 1] == 0;
}

CString WithoutTrailingBackslash(const char* text)
{
    CString result(text);
    if (EndsWithBackslash(result)) result = result.Left(result.GetLength() - 1);
    return result;
}

CString GetParentFolder(const char* path)
{
    if (!path) return CString();
    CString text = WithoutTrailingBackslash(path);
    int last = text.ReverseFind('\\');
    return last > 0 ? text.Left(last) : CString();
}
