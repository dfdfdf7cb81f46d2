#include "self_removal.h"

#include <windows.h>

#include <stdlib.h>

#include "../app/setup_state.h"
#include "../classlib/handles.h"
#include "../classlib/winapp.h"
#include "../install/file_replace.h"
#include "../install/paths.h"
#include "../res/resource.h"
#include "uninstall_run.h"

namespace {
// A path with a blank or a tab in double quotes; false when that would not fit
// the 260-character buffers (the copy must never get a shortened path).
bool QuoteIfNeeded(const char* path, CString& argument)
{
    argument = path;
    if (FindChar(path, ' ') >= 0 || FindChar(path, '\t') >= 0) argument = "\"" + argument + "\"";
    return FitsPath(argument);
}

// The running executable's full path; false when it did not fit 260 characters.
bool GetOwnPath(char (&path)[MAX_PATH])
{
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

// Steps 1 and 2: an empty "uni" file in the temporary folder, its name chosen by the system.
bool MakeTemporaryFile(char (&tempFile)[MAX_PATH])
{
    char tempFolder[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, tempFolder);
    if (length == 0 || length >= MAX_PATH) return false;
    return GetTempFileNameA(tempFolder, "uni", 0, tempFile) != 0;
}

// Step 7: the copy replaces this process; handles inherited, nothing waited for.
bool StartCopy(const char* tempFile, const CString& command)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    char commandLine[4 * MAX_PATH];
    lstrcpynA(commandLine, command, sizeof commandLine);
    if (!CreateProcessA(tempFile, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}
}  // namespace

bool BuildSelfRemovalCommand(const char* tempPath, const char* uninstallerPath, bool silent, CString& command)
{
    CString program;
    CString uninstaller;
    if (!QuoteIfNeeded(tempPath, program) || !QuoteIfNeeded(uninstallerPath, uninstaller)) return false;
    command = program + " -delself " + uninstaller;
    if (silent) command += " -s";
    return true;
}

void LaunchSelfRemoval()
{
    char tempFile[MAX_PATH];
    char ownPath[MAX_PATH];
    if (!MakeTemporaryFile(tempFile)) return;
    CString command;
    const bool ready = GetOwnPath(ownPath) && CopyFileA(ownPath, tempFile, FALSE) &&
                       BuildSelfRemovalCommand(tempFile, ownPath, g_bSilent, command);
    if (ready && StartCopy(tempFile, command)) _exit(0);  // no exit routines: the copy owns the run now
    // The copy will never run: its file would only be litter in the temporary folder.
    DeleteFileA(tempFile);
}

CString UninstallerFolder(const char* path)
{
    if (!FitsPath(path)) return CString();
    // Each part is shorter than the whole path, so no part can overrun its buffer.
    char drive[MAX_PATH];
    char directory[MAX_PATH];
    _splitpath(path, drive, directory, nullptr, nullptr);
    return CString(drive) + directory;
}

void RunSelfRemovalPass(const char* uninstallerPath)
{
    Sleep(1000);
    char ownPath[MAX_PATH];
    if (GetOwnPath(ownPath)) ScheduleDeleteAtReboot(ownPath);
    const CString folder = UninstallerFolder(uninstallerPath);
    DeleteFileA(uninstallerPath);
    // Without a folder part the run would work on the current directory instead.
    if (!folder.IsEmpty()) RunUninstall(folder);
    if (!g_bSilent) AfxMessageBox(IDS_UNINSTALLED, MB_OK);
    exit(0);
}
