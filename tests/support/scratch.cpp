#include "scratch.h"

#include <atomic>
#include <cstdio>

ScratchFolder::ScratchFolder()
{
    static std::atomic<int> counter{0};
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char name[64];
    std::snprintf(name, sizeof name, "glxtest-%lu-%d-%lu", GetCurrentProcessId(), counter++, GetTickCount());
    m_path = std::string(temp) + name;
    CreateDirectoryA(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { DeleteTree(m_path); }

void DeleteTree(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") DeleteTree(path + "\\" + name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

namespace {
HKEY CreateScratchKey(const std::string& path)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}
}  // namespace

ScratchRegistry::ScratchRegistry(ScratchHives hives)
{
    char name[96];
    std::snprintf(name, sizeof name, "Software\\GlimmerixTests\\%lu-%lu", GetCurrentProcessId(), GetTickCount());
    m_base = name;
    // All keys are made before any override: they live under the real HKEY_CURRENT_USER.
    m_hklm = CreateScratchKey(m_base + "\\HKLM");
    m_hkcu = CreateScratchKey(m_base + "\\HKCU");
    if (hives == ScratchHives::Every) {
        m_hku = CreateScratchKey(m_base + "\\HKU");
        m_hkcr = CreateScratchKey(m_base + "\\HKCR");
        RegOverridePredefKey(HKEY_USERS, m_hku);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, m_hkcr);
    }
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_hklm);
    RegOverridePredefKey(HKEY_CURRENT_USER, m_hkcu);
}

ScratchRegistry::~ScratchRegistry()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    if (m_hku) RegOverridePredefKey(HKEY_USERS, nullptr);
    if (m_hkcr) RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    for (HKEY key : {m_hklm, m_hkcu, m_hku, m_hkcr})
        if (key) RegCloseKey(key);
    RegDeleteTreeA(HKEY_CURRENT_USER, m_base.c_str());
}

void WriteTextFile(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadTextFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) content.append(buffer, got);
    CloseHandle(file);
    return content;
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SetRegistryString(HKEY root, const std::string& subkey, const std::string& name, const std::string& value)
{
    HKEY key;
    if (RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

std::string GetRegistryString(HKEY root, const std::string& subkey, const std::string& name)
{
    char buffer[4096];
    DWORD size = sizeof buffer;
    if (RegGetValueA(root, subkey.c_str(), name.empty() ? nullptr : name.c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                     &size) != ERROR_SUCCESS)
        return std::string();
    return buffer;
}

bool RegistryKeyExists(HKEY root, const std::string& subkey)
{
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}
