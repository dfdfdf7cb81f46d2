#include "registry_entries.h"

#include "../app/setup_state.h"
#include "../classlib/handles.h"
#include "../res/resource.h"
#include "../res/website.h"

const char kProductKey[] = "SOFTWARE\\Orvandelsys\\Glimmerix 6";
const char kAppPathKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Glimcap6.exe";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmerix 6";

namespace {

// DisplayVersion leaves out the build part: "%d.%02d.%02d".
CString DisplayVersion()
{
    CString text;
    text.Format("%d.%02d.%02d", static_cast<int>(FileVersion.major), static_cast<int>(FileVersion.minor),
                static_cast<int>(FileVersion.release));
    return text;
}

CString ProductName()
{
    CString name;
    name.LoadString(IDS_PRODUCT_NAME);
    return name;
}
}  // namespace

bool WriteRegistryString(HKEY root, const char* keyPath, const char* data, const char* valueName)
{
    CRegKey key;
    if (RegCreateKeyA(root, keyPath, key.Receive()) != ERROR_SUCCESS) return false;
    const DWORD size = static_cast<DWORD>(lstrlenA(data) + 1);
    return RegSetValueExA(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
}

CString UninstallCommand(const char* installDir)
{
    const CString path = CString(installDir) + "\\OrvUnInst.exe";
    // Windows runs this value as a command line: unquoted blanks would split it.
    if (path.Find(' ') < 0) return path;
    return "\"" + path + "\"";
}

void WriteRegistryEntries()
{
    WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, g_bAllUsers ? "B" : "A", "AllUsers");
    WriteRegistryString(HKEY_LOCAL_MACHINE, kProductKey, g_strInstallDir, "Path");
    WriteRegistryString(HKEY_LOCAL_MACHINE, kAppPathKey, g_strInstallDir + "\\Glimcap6.exe");
    WriteRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "Support", "Contact");
    WriteRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, ProductName(), "DisplayName");
    WriteRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, DisplayVersion(), "DisplayVersion");
    WriteRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "Orvandelsys Technology LLC", "Publisher");
    WriteRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, UninstallCommand(g_strInstallDir), "UninstallString");
    WriteRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, ORV_WEBSITE, "URLInfoAbout");
}
