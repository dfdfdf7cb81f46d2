#include "registry_cleanup.h"

#include <stdio.h>

#include "../classlib/handles.h"

namespace {
const char kMakerName[] = "Orvandelsys";
const char kProductName[] = "Glimmerix 6";
const char kProductExe[] = "Glimcap6.exe";
const char kDocumentTypeKey[] = "GX6.Document";
const char kUninstallParent[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kAppPathsParent[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// Subkey names and key paths are at most 511 characters.
using KeyName = char[512];

bool EnumSubkey(HKEY key, DWORD index, KeyName& name)
{
    return RegEnumKeyA(key, index, name, sizeof name) == ERROR_SUCCESS;
}

// Steps 1 to 4 and the per-hive step: the product key, then the maker key if bare.
void RemoveProductAndMakerKeys(HKEY hive, const char* productKey, const char* makerKey)
{
    DeleteRegistryTree(hive, productKey);
    DeleteKeyIfNoSubkeys(hive, makerKey);
}

// Step 5: every subkey of HKEY_USERS, each a user hive or something that simply
// has no such keys.
void RemoveFromEveryUserHive(const char* productKey, const char* makerKey)
{
    KeyName name;
    for (DWORD index = 0; EnumSubkey(HKEY_USERS, index, name); ++index) {
        CRegKey user;
        if (RegOpenKeyExA(HKEY_USERS, name, 0, KEY_ALL_ACCESS, user.Receive()) != ERROR_SUCCESS) continue;
        RemoveProductAndMakerKeys(user.Get(), productKey, makerKey);
    }
}

// Steps 7 and 8: the entry key alone, so an entry that has subkeys stays.
void DeleteEntryKey(const char* parentPath, const char* entryName)
{
    CRegKey parent;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parentPath, 0, KEY_ALL_ACCESS, parent.Receive()) != ERROR_SUCCESS) return;
    RegDeleteKeyA(parent.Get(), entryName);
}
}  // namespace

void RemoveRegistryEntries()
{
    KeyName productKey;
    KeyName makerKey;
    snprintf(productKey, sizeof productKey, "SOFTWARE\\%s\\%s", kMakerName, kProductName);
    snprintf(makerKey, sizeof makerKey, "SOFTWARE\\%s", kMakerName);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, productKey);
    DeleteRegistryTree(HKEY_CURRENT_USER, productKey);
    DeleteKeyIfNoSubkeys(HKEY_LOCAL_MACHINE, makerKey);
    DeleteKeyIfNoSubkeys(HKEY_CURRENT_USER, makerKey);
    RemoveFromEveryUserHive(productKey, makerKey);
    DeleteRegistryTree(HKEY_CLASSES_ROOT, kDocumentTypeKey);
    DeleteEntryKey(kUninstallParent, kProductName);
    DeleteEntryKey(kAppPathsParent, kProductExe);
}

bool DeleteRegistryTree(HKEY root, const char* subKey)
{
    CRegKey key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS) {
        KeyName name;
        for (DWORD index = 0; EnumSubkey(key.Get(), index, name);) {
            ++index;
            // A deleted subkey's successor moves into its index.
            if (DeleteRegistryTree(key.Get(), name)) --index;
        }
    }
    key.Reset();
    // Tried even when the key did not open.
    return RegDeleteKeyA(root, subKey) == ERROR_SUCCESS;
}

void DeleteKeyIfNoSubkeys(HKEY root, const char* subKey)
{
    CRegKey key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS) return;
    KeyName name;
    DWORD count = 0;
    while (EnumSubkey(key.Get(), count, name)) ++count;
    key.Reset();
    if (count == 0) RegDeleteKeyA(root, subKey);
}
