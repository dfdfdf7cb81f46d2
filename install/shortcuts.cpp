#include "shortcuts.h"

#include <shlobj.h>

#include "../app/setup_state.h"
#include "../classlib/com_ptr.h"
#include "../classlib/winapp.h"
#include "../res/resource.h"
#include "log_format.h"
#include "paths.h"

BOOL g_bComInitialized = FALSE;

const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

namespace {
const int kTargetBufferSize = 512;  // at most 511 characters
const int kLinkBufferSize = 260;    // at most 259 characters
const HRESULT kPathTooLong = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

// These two boxes carry no icon, unlike the class library's OK boxes.
void ShowLinkFailure(const char* text)
{
    CWinApp* app = AfxGetApp();
    HWND owner = app && IsWindow(app->m_hWndMain) ? app->m_hWndMain : nullptr;
    MessageBoxA(owner, text, AfxGetAppName(), MB_OK);
}

// The target without one leading and one trailing double quote; false when the
// rest does not fit the 512-byte buffer.
bool CopyTarget(const char* target, char (&buffer)[kTargetBufferSize])
{
    if (*target == '"') ++target;
    const int length = lstrlenA(target);
    if (length >= kTargetBufferSize) return false;
    lstrcpynA(buffer, target, kTargetBufferSize);
    if (length > 0 && buffer[length - 1] == '"') buffer[length - 1] = '\0';
    return true;
}

CString LinkName(UINT stringId)
{
    CString name;
    name.LoadString(stringId);
    return name + ".lnk";
}

void CreateGroupShortcuts(const CString& group)
{
    const CString program = g_strInstallDir + "\\Glimcap6.exe";
    CreateShellLink(program, group + "\\" + LinkName(IDS_PRODUCT_NAME), "%APPDATA%");
    CreateShellLink(g_strInstallDir + "\\Glimcap6Man.chm", group + "\\" + LinkName(IDS_HELP_LINK));
    CreateShellLink(g_strInstallDir + "\\readme.txt", group + "\\" + LinkName(IDS_README_LINK));
    CreateShellLink(g_strInstallDir + "\\OrvUnInst.exe", group + "\\" + LinkName(IDS_UNINSTALL_LINK));
}

// An unreadable folder value would put the shortcut at the root of the current
// drive: such a shortcut is left out instead.
void CreateProgramShortcutIn(const CString& folder)
{
    if (folder.IsEmpty()) return;
    CreateShellLink(g_strInstallDir + "\\Glimcap6.exe", folder + "\\" + LinkName(IDS_PRODUCT_NAME), "%APPDATA%");
}
}  // namespace

CString ReadShellFolder(BOOL allUsers, const char* commonName, const char* userName)
{
    return allUsers ? ReadRegistryString(HKEY_LOCAL_MACHINE, kShellFoldersKey, commonName)
                    : ReadRegistryString(HKEY_CURRENT_USER, kShellFoldersKey, userName);
}

HRESULT CreateShellLink(const char* target, const char* linkPath, const char* workingDir)
{
    if (!g_bComInitialized) {
        CoInitialize(nullptr);
        g_bComInitialized = TRUE;
    }
    CComPtr<IShellLinkA> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Receive());
    if (FAILED(result)) return result;
    CComPtr<IPersistFile> file;
    result = link->QueryInterface(IID_IPersistFile, file.Receive());
    if (FAILED(result)) return result;

    char targetBuffer[kTargetBufferSize];
    if (!CopyTarget(target, targetBuffer)) return kPathTooLong;
    if (FAILED(link->SetPath(targetBuffer))) ShowLinkFailure("SetPath failed!");
    if (FAILED(link->SetDescription(""))) ShowLinkFailure("SetDescription failed!");

    WCHAR widePath[kLinkBufferSize];
    if (!MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, kLinkBufferSize)) return kPathTooLong;
    if (workingDir) link->SetWorkingDirectory(workingDir);

    result = file->Save(widePath, TRUE);
    if (SUCCEEDED(result)) AppendLogRecord(g_strInstallDir + "\\OrvUnInst.log", CString(kShellLink) + linkPath);
    // The owners release IPersistFile first, then the link object (reverse order of taking).
    return result;
}

void CreateShortcuts(const char* groupFolder)
{
    if (*groupFolder && IsFolder(groupFolder)) CreateGroupShortcuts(groupFolder);
    if (g_bDesktopIcon) CreateProgramShortcutIn(ReadShellFolder(g_bAllUsers, "Common Desktop", "Desktop"));
    if (g_bAutoStart) CreateProgramShortcutIn(ReadShellFolder(g_bAllUsers, "Common Startup", "Startup"));
}
