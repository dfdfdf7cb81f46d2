// bench_copy: the plain copy loop that the install is measured against. Copies
// every file of SOURCE and of each of its subfolders (one level) into the same
// place under DEST, creating DEST and the subfolders: FindFirstFileA, CopyFileA.
//
// usage: bench_copy.exe SOURCE DEST
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {
bool IsDotEntry(const char* name) { return strcmp(name, ".") == 0 || strcmp(name, "..") == 0; }

// Copies the files of from into into; with descend, also each subfolder's files.
int CopyFolder(const char* from, const char* into, bool descend)
{
    char pattern[MAX_PATH], source[MAX_PATH], target[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", from);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        if (IsDotEntry(found.cFileName)) continue;
        snprintf(source, sizeof source, "%s\\%s", from, found.cFileName);
        snprintf(target, sizeof target, "%s\\%s", into, found.cFileName);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!descend) continue;
            CreateDirectoryA(target, nullptr);
            count += CopyFolder(source, target, false);
        } else if (CopyFileA(source, target, FALSE)) {
            ++count;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: bench_copy.exe SOURCE DEST\n");
        return 2;
    }
    CreateDirectoryA(argv[2], nullptr);
    int count = CopyFolder(argv[1], argv[2], true);
    printf("%d\n", count);
    return 0;
}
