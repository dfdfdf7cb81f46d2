#include "installation.h"

#include <gtest/gtest.h>

#include <string.h>

#include "paths.h"

namespace {
const char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";

void CopyTree(const std::string& from, const std::string& to)
{
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(from + "\\" + name, to + "\\" + name);
        else
            CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

HKEY ShellFolderRoot(const std::string& name)
{
    return name.rfind("Common", 0) == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

void RemoveShortcutsIn(const std::string& folder)
{
    if (folder.empty()) return;
    DeleteTree(folder + "\\Glimmerix 6.lnk");
}

void RemoveGroupsIn(const std::string& programs)
{
    if (programs.empty()) return;
    DeleteTree(programs + "\\Glimmerix 6");
    DeleteTree(programs + "\\Orvandelsys");
}
}  // namespace

TestPackage::TestPackage() { CopyTree(BuildPath("package"), m_folder.Path()); }

void TestPackage::UseProductVersion(const std::string& version)
{
    ASSERT_TRUE(CopyFileA(BuildPath("tests/products/" + version + "/Glimcap6.exe").c_str(),
                          (*this / "Glimcap6.exe").c_str(), FALSE))
        << version;
}

void TestPackage::Remove(const std::string& name) { DeleteTree(*this / name); }

void TestPackage::AppendToManifest(const std::string& lines)
{
    const std::string manifest = *this / "OrvUnInst.log";
    WriteTextFile(manifest, ReadTextFile(manifest) + lines);
}

ChildProcess TestPackage::Start(const std::string& arguments) const
{
    return ChildProcess(Quote(*this / "setup.exe") + (arguments.empty() ? "" : " " + arguments), Path());
}

DWORD TestPackage::Run(const std::string& arguments) const
{
    return RunToEnd(Quote(*this / "setup.exe") + (arguments.empty() ? "" : " " + arguments), 60000, Path());
}

std::string DefaultInstallDir()
{
    return GetRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir") +
           "\\Glimmerix 6";
}

std::string ShellFolder(const std::string& name)
{
    return GetRegistryString(ShellFolderRoot(name), keys::kShellFolders, name);
}

void RemoveInstallation()
{
    const std::string installed = GetRegistryString(HKEY_LOCAL_MACHINE, keys::kProduct, "Path");
    if (installed.size() > 3) DeleteTree(installed);
    DeleteTree(DefaultInstallDir());
    for (const char* key : {keys::kProduct, keys::kAppPath, keys::kUninstall}) RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    for (const char* name : {"Common Desktop", "Common Startup", "Desktop", "Startup"})
        RemoveShortcutsIn(ShellFolder(name));
    for (const char* name : {"Common Programs", "Programs"}) RemoveGroupsIn(ShellFolder(name));
}

HiddenShellFolder::HiddenShellFolder(const std::string& name)
    : m_root(ShellFolderRoot(name)), m_name(name), m_value(ShellFolder(name))
{
    RegDeleteKeyValueA(m_root, keys::kShellFolders, m_name.c_str());
}

HiddenShellFolder::~HiddenShellFolder()
{
    if (!m_value.empty()) SetRegistryString(m_root, keys::kShellFolders, m_name, m_value);
}

std::string PendingFileOperations()
{
    char data[65536];
    DWORD size = sizeof data - 2;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingValue, RRF_RT_REG_MULTI_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return std::string();
    std::string lines;
    data[size] = data[size + 1] = '\0';
    // Entries come in pairs (source, then target); a deletion's target is empty.
    for (const char* entry = data; entry < data + size; entry += strlen(entry) + 1)
        lines += std::string(entry) + "\n";
    return lines;
}

PendingOperationsSaver::PendingOperationsSaver()
{
    char data[65536];
    DWORD size = sizeof data;
    m_present = RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingValue, RRF_RT_REG_MULTI_SZ, nullptr,
                             data, &size) == ERROR_SUCCESS;
    if (m_present) m_data.assign(data, size);
}

PendingOperationsSaver::~PendingOperationsSaver()
{
    if (!m_present) {
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingValue);
        return;
    }
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(m_data.data()),
                   static_cast<DWORD>(m_data.size()));
    RegCloseKey(key);
}
