#include "setup_driver.h"

#include <stdlib.h>
#include <string.h>

#include "../app/setup_state.h"
#include "../classlib/winapp.h"
#include "../install/install_run.h"
#include "../install/paths.h"
#include "../res/resource.h"
#include "../res/website.h"
#include "finishing.h"
#include "previous_install.h"

namespace {
// The "-instdir" candidate: the folder unchanged, without one trailing '\' or '/',
// or "" when nothing of that name exists.
CString InstallDirCandidate(const char* folder)
{
    CString candidate(folder);
    if (GetFileAttributesA(candidate) == INVALID_FILE_ATTRIBUTES) return CString();
    if (EndsWithSeparator(candidate)) candidate = candidate.Left(candidate.GetLength() - 1);
    return candidate;
}

// Damaged: no manifest, or a package program of major version 0 (missing included).
bool IsPackageDamaged()
{
    return FileVersion.major == 0 ||
           GetFileAttributesA(g_strSourceDir + "\\OrvUnInst.log") == INVALID_FILE_ATTRIBUTES;
}

// Also in a silent run: the user has to fetch the package again.
[[noreturn]] void ReportDamagedPackage()
{
    AfxMessageBox(IDS_DAMAGED_PACKAGE, MB_OK | MB_ICONSTOP);
    OpenWebPage(ORV_WEBSITE);
    exit(1);
}
}  // namespace

CString GetModuleFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    const int last = ReverseFindChar(path, '\\');
    return last < 0 ? CString() : CString(path, last);
}

CString GetProgramFilesDir()
{
    CString folder = ReadRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                        "ProgramFilesDir");
    if (folder.IsEmpty()) {
        char windows[MAX_PATH] = "";
        GetWindowsDirectoryA(windows, sizeof windows);
        const int first = FindChar(windows, '\\');
        folder = (first < 0 ? CString(windows) : CString(windows, first + 1)) + "Program Files";
    }
    return WithoutTrailingBackslash(folder);
}

void ApplySetupOptions(int argc, const char* const* argv)
{
    CString candidate;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        // The folder after "-instdir" is examined as an option in its turn as well.
        if (strcmp(argument, "-instdir") == 0 && i + 1 < argc) candidate = InstallDirCandidate(argv[i + 1]);
        if (lstrcmpiA(argument, "-runafter") == 0) g_bRunAfter = TRUE;
        if (lstrcmpiA(argument, "-allusers") == 0) g_bAllUsers = TRUE;
        if (lstrcmpiA(argument, "-autostart") == 0) g_bAutoStart = TRUE;
        if (lstrcmpiA(argument, "-nodeskico") == 0) g_bDesktopIcon = FALSE;
    }
    if (!candidate.IsEmpty()) g_strInstallDir = candidate;
}

BOOL RunSetup()
{
    g_strInstallDir = FindPreviousInstallDir();
    g_strSourceDir = GetModuleFolder();
    if (g_strInstallDir.IsEmpty()) {
        g_strInstallDir = GetProgramFilesDir() + "\\Glimmerix 6";
        g_bFreshInstall = TRUE;
    }
    ApplySetupOptions(__argc, __argv);
    g_strGroupName = "Glimmerix 6";
    if (!g_bFreshInstall) {
        if (!CheckInstalledVersion()) return TRUE;
    } else {
        ReadFileVersion(g_strSourceDir + "\\Glimcap6.exe");
    }
    if (IsPackageDamaged()) ReportDamagedPackage();
    if (!g_bSilent) {
        // The wizard frame (CSetupDlg), whose ready page runs the install, is not
        // built yet. A run that is not silent stops here, where the wizard would
        // start, and ends as abandoned: nothing is installed and no finishing
        // action runs, as after a cancelled wizard.
        return TRUE;
    }
    if (g_bFreshInstall) g_bAllUsers = TRUE;
    RunInstall();
    RunFinishingActions();
    return FALSE;
}
