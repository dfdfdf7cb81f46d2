#include "install_run.h"

#include <stdlib.h>

#include "../app/setup_state.h"
#include "../uninstall/log_replay.h"
#include "file_replace.h"
#include "log_format.h"
#include "package_copy.h"
#include "registry_entries.h"
#include "shortcuts.h"

namespace {
CString InstallLogPath() { return g_strInstallDir + "\\OrvUnInst.log"; }
CString ManifestPath() { return g_strSourceDir + "\\OrvUnInst.log"; }

// Step 1: the old shortcuts and group folders by the logs already in the
// destination, then the files that the new manifest's "File Del: " records name.
void CleanUpPreviousInstallation()
{
    RemoveLinksAndMadeDirs(g_strInstallDir + "\\install.log");
    RemoveLinksAndMadeDirs(InstallLogPath());
    RemoveFilesAndMakeDirs(ManifestPath(), g_strInstallDir, kFileDel);
}

// The '\\' after the one at position slash, by the code page's double-byte rules; -1 if none.
int NextSeparator(const CString& text, int slash)
{
    const int next = FindChar(static_cast<const char*>(text) + slash + 1, '\\');
    return next < 0 ? -1 : slash + 1 + next;
}

// Step 8: the self-extracting package that started setup may have settings files beside it.
void CopySettingsFiles()
{
    const char* packageFile = getenv("sfxname");
    if (!packageFile) return;
    const CString folder = GetParentFolder(packageFile);
    if (folder.IsEmpty()) return;
    InstallFile("Glimcap6.ini", folder, g_strInstallDir);
    InstallFile("Glimcap6.reg", folder, g_strInstallDir);
}
}  // namespace

CString ReadProgramsFolder()
{
    if (g_bAllUsers) {
        CString common = ReadRegistryString(HKEY_LOCAL_MACHINE, kShellFoldersKey, "Common Programs");
        if (common.GetLength() >= 4) return common;
        g_bAllUsers = FALSE;  // every later step, "AllUsers" included, follows the user's folders
    }
    return ReadRegistryString(HKEY_CURRENT_USER, kShellFoldersKey, "Programs");
}

CString MakeProgramGroup(const CString& programsFolder)
{
    NormalizeFolderName(g_strGroupName);
    if (programsFolder.IsEmpty()) return CString();
    // Outer levels of a nested name first; CreateDirectory makes one level at a time.
    for (int slash = FindChar(g_strGroupName, '\\'); slash >= 0; slash = NextSeparator(g_strGroupName, slash))
        CreateDirectoryA(programsFolder + "\\" + g_strGroupName.Left(slash), nullptr);
    const CString group = programsFolder + "\\" + g_strGroupName;
    CreateDirectoryA(group, nullptr);
    AppendLogRecord(InstallLogPath(), CString(kMadeDir) + group);
    return group;
}

int RunInstall()
{
    if (!g_bFreshInstall) CleanUpPreviousInstallation();
    ProcessManifest(ManifestPath());
    CopyMatchingFiles("OrvUnInst.log", g_strInstallDir, g_strSourceDir);
    AppendLogRecord(InstallLogPath(), "");
    const CString group = MakeProgramGroup(ReadProgramsFolder());
    CreateShortcuts(group);
    WriteRegistryEntries();
    CopySettingsFiles();
    return 0;
}
