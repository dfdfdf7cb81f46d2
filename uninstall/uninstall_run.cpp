#include "uninstall_run.h"

#include <shlobj.h>
#include <string.h>

#include "../classlib/handles.h"
#include "../install/paths.h"
#include "../install/shortcuts.h"
#include "log_replay.h"
#include "registry_cleanup.h"

namespace {
const char kProductName[] = "Glimmerix 6";  // the default group and shortcut name
const char kProductExe[] = "Glimcap6.exe";
const char kSavedHandlerName[] = "GlimcapOld";
const char kFileExtsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const char* const kImageTypes[] = {".bmp", ".dib", ".gif", ".jpg",  ".jpeg", ".tif",
                                   ".tiff", ".png", ".cmp", ".tga", ".wpg"};
constexpr int kImageTypeCount = sizeof kImageTypes / sizeof kImageTypes[0];

// A string value read into a 512-byte buffer; false when it is missing, not a
// string, or longer than 511 characters (then it counts as absent).
bool ReadValueText(HKEY key, const char* name, CString& text)
{
    char buffer[512];
    DWORD type = 0;
    DWORD size = sizeof buffer;
    text.Empty();
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    // A full buffer is a 511-character text only when its last byte is the zero.
    if (size < sizeof buffer)
        buffer[size] = 0;
    else if (buffer[sizeof buffer - 1] != 0)
        return false;
    text = buffer;
    return true;
}

// Where the handlers live: the user's FileExts key with "Application" in each
// extension's subkey, else HKEY_CLASSES_ROOT with each extension's default value.
struct HandlerPlace {
    CRegKey base;
    const char* valueName = nullptr;
};

bool OpenHandlerPlace(HandlerPlace& place)
{
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kFileExtsKey, 0, KEY_ALL_ACCESS, place.base.Receive()) == ERROR_SUCCESS) {
        place.valueName = "Application";
        return true;
    }
    place.valueName = nullptr;
    return RegOpenKeyExA(HKEY_CLASSES_ROOT, nullptr, 0, KEY_ALL_ACCESS, place.base.Receive()) == ERROR_SUCCESS;
}

bool NamesProduct(HKEY key, const char* valueName)
{
    CString handler;
    return ReadValueText(key, valueName, handler) && strstr(handler, kProductExe) != nullptr;
}

// The saved handler of one image type, read before any handler is written back.
CString CollectSavedHandler(const HandlerPlace& place, const char* extension)
{
    CString saved;
    CRegKey key;
    if (RegOpenKeyExA(place.base.Get(), extension, 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS) return saved;
    if (NamesProduct(key.Get(), place.valueName)) ReadValueText(key.Get(), kSavedHandlerName, saved);
    return saved;
}

// Puts the saved handler back, or deletes the product's; true when it changed.
bool RestoreHandler(const HandlerPlace& place, const char* extension, const CString& saved)
{
    CRegKey key;
    if (RegOpenKeyExA(place.base.Get(), extension, 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS) return false;
    if (!NamesProduct(key.Get(), place.valueName)) return false;
    if (!saved.IsEmpty())
        RegSetValueExA(key.Get(), place.valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<const char*>(saved)),
                       static_cast<DWORD>(saved.GetLength() + 1));
    else
        RegDeleteValueA(key.Get(), place.valueName);
    RegDeleteValueA(key.Get(), kSavedHandlerName);
    return true;
}

// Step 3: both logs' shortcuts and outside folders before any file of the folder.
void ReplayLogs(const char* folder)
{
    const CString installLog = CString(folder) + "install.log";
    const CString uninstallLog = CString(folder) + "OrvUnInst.log";
    // A log path that does not fit is not replayed: a shortened one names another file.
    const bool installLogFits = FitsPath(installLog);
    const bool uninstallLogFits = FitsPath(uninstallLog);
    if (installLogFits) RemoveLinksAndMadeDirs(installLog);
    if (uninstallLogFits) RemoveLinksAndMadeDirs(uninstallLog);
    if (installLogFits) RemoveFilesAndMakeDirs(installLog, folder);
    if (uninstallLogFits) RemoveFilesAndMakeDirs(uninstallLog, folder);
}

// folder + "\" + "Glimmerix 6" + ".lnk" deleted, unless the value is empty or the
// joined path would not fit.
void DeleteDefaultLink(HKEY shellFolders, const char* valueName)
{
    CString folder;
    if (!ReadValueText(shellFolders, valueName, folder) || folder.IsEmpty()) return;
    const CString link = folder + "\\" + kProductName + ".lnk";
    if (FitsPath(link)) DeleteFileA(link);
}

// The group folder "Glimmerix 6" of a programs folder: all its files, then itself.
void RemoveDefaultGroup(const CString& programsFolder)
{
    if (programsFolder.IsEmpty()) return;
    const CString group = programsFolder + "\\" + kProductName + "\\";
    if (!FitsPath(group)) return;
    DeleteMatchingFiles(group, "*.*");
    RemoveDirectoryA(group);
}

// The names of one profile's three values in a Shell Folders key.
struct ShellFolderNames {
    const char* startup;
    const char* desktop;
    const char* programs;
};

// Steps 7 and 8 for one profile: "Glimmerix 6.lnk" of its start-up and desktop
// folders, then its "Glimmerix 6" group, from the Shell Folders key at root\path.
void RemoveDefaultShortcuts(HKEY root, const char* path, REGSAM access, const ShellFolderNames& names)
{
    CRegKey shellFolders;
    if (RegOpenKeyExA(root, path, 0, access, shellFolders.Receive()) != ERROR_SUCCESS) return;
    DeleteDefaultLink(shellFolders.Get(), names.startup);
    DeleteDefaultLink(shellFolders.Get(), names.desktop);
    CString programsFolder;
    ReadValueText(shellFolders.Get(), names.programs, programsFolder);
    shellFolders.Reset();  // closed after the last read, before the group goes
    RemoveDefaultGroup(programsFolder);
}

// Step 8: the Shell Folders of every user hive present under HKEY_USERS.
void RemoveEveryUsersDefaultShortcuts()
{
    char name[512];
    for (DWORD index = 0; RegEnumKeyA(HKEY_USERS, index, name, sizeof name) == ERROR_SUCCESS; ++index) {
        CRegKey user;
        if (RegOpenKeyExA(HKEY_USERS, name, 0, KEY_ALL_ACCESS, user.Receive()) != ERROR_SUCCESS) continue;
        RemoveDefaultShortcuts(user.Get(), kShellFoldersKey, KEY_ALL_ACCESS, {"Startup", "Desktop", "Programs"});
    }
}
}  // namespace

void RunUninstall(const char* folder)
{
    RemoveRegistryEntries();
    RestoreImageHandlers();
    ReplayLogs(folder);
    DeleteMatchingFiles(folder, "OrvUnInst.log");
    SetCurrentDirectoryA("\\");
    RemoveDirectoryA(folder);
    RemoveDefaultShortcuts(HKEY_LOCAL_MACHINE, kShellFoldersKey, KEY_QUERY_VALUE,
                           {"Common Startup", "Common Desktop", "Common Programs"});
    RemoveEveryUsersDefaultShortcuts();
}

bool RestoreImageHandlers()
{
    HandlerPlace place;
    if (!OpenHandlerPlace(place)) return false;
    CString saved[kImageTypeCount];
    for (int i = 0; i < kImageTypeCount; ++i) saved[i] = CollectSavedHandler(place, kImageTypes[i]);
    bool changed = false;
    for (int i = 0; i < kImageTypeCount; ++i)
        if (RestoreHandler(place, kImageTypes[i], saved[i])) changed = true;
    if (changed) SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    return changed;
}
