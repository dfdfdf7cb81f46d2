#include "previous_install.h"

#include "../app/setup_state.h"
#include "../classlib/winapp.h"
#include "../install/log_format.h"
#include "../install/registry_entries.h"
#include "../install/shortcuts.h"
#include "../res/resource.h"

namespace {
// Asks whether to go on although the package is not newer; true on Yes.
bool ConfirmNotNewer(const FileVersionParts& installed, DWORD installedNumber, DWORD packageNumber)
{
    const FileVersionParts& package = FileVersion;
    CString format;
    CString question;
    if (installedNumber > packageNumber) {
        format.LoadString(IDS_OLDER_VERSION);
        question.Format(format, installed.major, installed.minor, installed.release, installed.build, package.major,
                        package.minor, package.release, package.build);
    } else {
        format.LoadString(IDS_SAME_VERSION);
        question.Format(format, package.major, package.minor, package.release, package.build);
    }
    return AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// The group that a "Shell Link: " path names, or false when the link does not lie
// in the programs folder or lies in the start-up folder (both lower-cased).
bool GroupOfLink(const CString& linkPath, const CString& programs, const CString& startup, CString& group)
{
    CString lower = linkPath;
    lower.MakeLower();
    if (lower.Left(programs.GetLength()) != programs) return false;
    if (lower.Find(startup) >= 0) return false;
    group = GetParentFolder(linkPath).Mid(programs.GetLength());
    return true;
}
}  // namespace

CString FindPreviousInstallDir()
{
    CString folder = ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, "Path");
    if (folder.IsEmpty()) {
        const CString program = ReadRegistryString(HKEY_LOCAL_MACHINE, kAppPathKey, "");
        const int name = program.Find("\\Glimcap6.exe");
        if (name >= 0) folder = program.Left(name);
    }
    return WithoutTrailingBackslash(folder);
}

BOOL CheckInstalledVersion()
{
    ReadFileVersion(g_strInstallDir + "\\Glimcap6.exe");
    const FileVersionParts installed = FileVersion;
    ReadFileVersion(g_strSourceDir + "\\Glimcap6.exe");
    const DWORD installedNumber = VersionNumber(installed);
    const DWORD packageNumber = VersionNumber(FileVersion);
    if (g_bSilent || installedNumber < packageNumber)
        g_bUpgrade = TRUE;
    else if (!ConfirmNotNewer(installed, installedNumber, packageNumber))
        return FALSE;
    g_bAllUsers = ReadRegistryString(HKEY_LOCAL_MACHINE, kProductKey, "AllUsers") == "B";
    ReadPreviousGroupName();
    return TRUE;
}

void ReadPreviousGroupName()
{
    // OrvUnInst.log, or install.log when that cannot be opened.
    CLogReader current(g_strInstallDir + "\\OrvUnInst.log");
    CLogReader older(current.IsOpen() ? "" : g_strInstallDir + "\\install.log");
    CLogReader& log = current.IsOpen() ? current : older;
    if (!log.IsOpen()) return;
    CString programs = ReadShellFolder(g_bAllUsers, "Common Programs", "Programs");
    CString startup = ReadShellFolder(g_bAllUsers, "Common Startup", "Startup");
    if (!EndsWithBackslash(programs)) programs += '\\';
    programs.MakeLower();
    startup.MakeLower();
    CString line;
    CString linkPath;
    CString group;
    while (log.ReadLine(line))
        if (IsRecord(line, kShellLink, linkPath) && GroupOfLink(linkPath, programs, startup, group))
            g_strGroupName = group;
}
