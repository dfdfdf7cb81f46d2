// bench_delete: the plain delete loop that the uninstall is measured against.
// Deletes every file of FOLDER and of each of its subfolders (one level), each
// subfolder, then FOLDER: FindFirstFileA, DeleteFileA, RemoveDirectoryA.
//
// usage: bench_delete.exe FOLDER
#include <windows.h>

#include <stdio.h>
#include <string.h>

namespace {
bool IsDotEntry(const char* name) { return strcmp(name, ".") == 0 || strcmp(name, "..") == 0; }

int DeleteFolder(const char* folder, bool descend)
{
    char pattern[MAX_PATH], path[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    int count = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (IsDotEntry(found.cFileName)) continue;
            snprintf(path, sizeof path, "%s\\%s", folder, found.cFileName);
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                count += DeleteFileA(path) ? 1 : 0;
            else if (descend)
                count += DeleteFolder(path, false);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder);
    return count;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: bench_delete.exe FOLDER\n");
        return 2;
    }
    printf("%d\n", DeleteFolder(argv[1], true));
    return 0;
}
