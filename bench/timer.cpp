// bench_timer: starts one command line, waits for it and prints its wall time in
// seconds. With -follow it then also waits for the process that the command
// started last before it ended (the uninstaller's temporary copy) and prints
// both times: "<first process> <until the follower ended>".
//
// usage: bench_timer.exe [-follow] PROGRAM [ARGUMENTS...]
#include <windows.h>
#include <tlhelp32.h>

#include <stdio.h>
#include <string.h>

namespace {
// The rest of the command line after the first `skip` arguments, quoting kept.
const char* SkipArguments(const char* line, int skip)
{
    for (int i = 0; i < skip; ++i) {
        bool quoted = false;
        while (*line && (quoted || (*line != ' ' && *line != '\t'))) {
            if (*line == '"') quoted = !quoted;
            ++line;
        }
        while (*line == ' ' || *line == '\t') ++line;
    }
    return line;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency)
{
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A process whose parent is `parent`, opened for waiting; null if none runs.
HANDLE OpenChildOf(DWORD parent)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    HANDLE child = nullptr;
    for (BOOL more = Process32First(snapshot, &entry); more && !child; more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == parent && entry.th32ProcessID != parent)
            child = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
    CloseHandle(snapshot);
    return child;
}
}  // namespace

int main(int argc, char** argv)
{
    bool follow = argc > 1 && strcmp(argv[1], "-follow") == 0;
    int skip = follow ? 2 : 1;
    if (argc <= skip) {
        fprintf(stderr, "usage: bench_timer.exe [-follow] PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    static char command[32768];
    lstrcpynA(command, SkipArguments(GetCommandLineA(), skip), sizeof command);

    LARGE_INTEGER frequency, start, firstEnd, end;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        fprintf(stderr, "cannot start %s (error %lu)\n", command, GetLastError());
        return 3;
    }
    WaitForSingleObject(info.hProcess, INFINITE);
    QueryPerformanceCounter(&firstEnd);
    DWORD exitCode = 0;
    GetExitCodeProcess(info.hProcess, &exitCode);
    end = firstEnd;
    if (follow) {
        HANDLE child = OpenChildOf(info.dwProcessId);
        if (!child) {
            fprintf(stderr, "no follower of process %lu\n", info.dwProcessId);
            return 4;
        }
        WaitForSingleObject(child, INFINITE);
        QueryPerformanceCounter(&end);
        CloseHandle(child);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    printf("%.6f %.6f %lu\n", Seconds(start, firstEnd, frequency), Seconds(start, end, frequency), exitCode);
    return 0;
}
