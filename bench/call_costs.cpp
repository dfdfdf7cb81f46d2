// bench_calls: the cost of each system call that the install and the uninstall
// make per file, measured one by one under the same conditions as the benchmark:
// a folder of N files of SIZE KiB. Prints microseconds per call.
//
// usage: bench_calls.exe FOLDER [N] [SIZE_KIB]   (FOLDER is made and emptied again)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {
LARGE_INTEGER g_frequency;

double Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1e6 / static_cast<double>(g_frequency.QuadPart);
}

int g_count;
char g_folder[MAX_PATH];

void PathOf(char* out, const char* sub, const char* prefix, int i)
{
    snprintf(out, MAX_PATH, "%s\\%s\\%s%05d.bin", g_folder, sub, prefix, i);
}

template <typename F>
void Measure(const char* what, F call)
{
    double start = Now();
    for (int i = 0; i < g_count; ++i) call(i);
    printf("%-58s %8.1f us\n", what, (Now() - start) / g_count);
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    QueryPerformanceFrequency(&g_frequency);
    lstrcpynA(g_folder, argv[1], MAX_PATH);
    g_count = argc > 2 ? atoi(argv[2]) : 100;
    int size = (argc > 3 ? atoi(argv[3]) : 16) * 1024;
    char path[MAX_PATH], other[MAX_PATH];
    CreateDirectoryA(g_folder, nullptr);
    snprintf(path, MAX_PATH, "%s\\src", g_folder);
    CreateDirectoryA(path, nullptr);
    snprintf(path, MAX_PATH, "%s\\dst", g_folder);
    CreateDirectoryA(path, nullptr);
    char* data = static_cast<char*>(malloc(size));
    for (int i = 0; i < size; ++i) data[i] = static_cast<char>(rand());
    for (int i = 0; i < g_count; ++i) {
        PathOf(path, "src", "f", i);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, data, size, &written, nullptr);
        CloseHandle(file);
    }
    Measure("GetFileAttributesA, source file present", [&](int i) { PathOf(path, "src", "f", i); GetFileAttributesA(path); });
    Measure("GetFileAttributesA, target file missing", [&](int i) { PathOf(path, "dst", "f", i); GetFileAttributesA(path); });
    Measure("CopyFileA to a new target", [&](int i) {
        PathOf(path, "src", "f", i); PathOf(other, "dst", "f", i); CopyFileA(path, other, FALSE); });
    Measure("CreateFileA+WriteFile+CloseHandle of a new file (how NSIS writes)", [&](int i) {
        PathOf(path, "dst", "n", i);
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, data, size, &written, nullptr);
        CloseHandle(file); });
    Measure("DeleteFileA of those", [&](int i) { PathOf(path, "dst", "n", i); DeleteFileA(path); });
    Measure("GetFileAttributesA, target missing, folder holding N files", [&](int i) {
        PathOf(path, "dst", "m", i); GetFileAttributesA(path); });
    Measure("GetFileAttributesA, target file present", [&](int i) { PathOf(path, "dst", "f", i); GetFileAttributesA(path); });
    Measure("SetFileAttributesA, same attributes (no bit changes)", [&](int i) {
        PathOf(path, "dst", "f", i); SetFileAttributesA(path, FILE_ATTRIBUTE_ARCHIVE); });
    Measure("CopyFileA over an existing target", [&](int i) {
        PathOf(path, "src", "f", i); PathOf(other, "dst", "f", i); CopyFileA(path, other, FALSE); });
    Measure("DeleteFileA", [&](int i) { PathOf(path, "dst", "f", i); DeleteFileA(path); });
    WIN32_FIND_DATAA found;
    snprintf(path, MAX_PATH, "%s\\src\\*", g_folder);
    double start = Now();
    HANDLE search = FindFirstFileA(path, &found);
    int entries = 1;
    while (FindNextFileA(search, &found)) ++entries;
    FindClose(search);
    printf("%-58s %8.1f us\n", "FindFirstFileA/FindNextFileA, per entry", (Now() - start) / entries);
    const char* sample = "C:\\Program Files (x86)\\Glimmerix 6\\sub01\\f00001.bin";
    Measure("CharNextA over a 50-character path", [&](int) { for (const char* p = sample; *p; p = CharNextA(p)) {} });
    Measure("lstrcmpiA of two 40-character folders", [&](int) { lstrcmpiA("C:\\Program Files (x86)\\Glimmerix 6\\sub01\\", "C:\\bench\\pkg\\full\\sub01\\"); });
    for (int i = 0; i < g_count; ++i) { PathOf(path, "src", "f", i); DeleteFileA(path); }
    snprintf(path, MAX_PATH, "%s\\src", g_folder);
    RemoveDirectoryA(path);
    snprintf(path, MAX_PATH, "%s\\dst", g_folder);
    RemoveDirectoryA(path);
    RemoveDirectoryA(g_folder);
    return 0;
}
