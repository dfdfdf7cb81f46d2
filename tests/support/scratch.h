// Isolation for tests: a temporary folder per test, and a scratch registry that
// stands in for HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER while it lives.
#pragma once

#include <windows.h>

#include <string>

// A new empty folder under the temporary folder, deleted with its content at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Which predefined keys a ScratchRegistry stands in for.
enum class ScratchHives {
    MachineAndUser,  // HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER
    Every,           // those two, HKEY_USERS and HKEY_CLASSES_ROOT
};

// Points the predefined keys of this process at fresh empty keys; restores them
// and deletes the keys at the end.
class ScratchRegistry {
public:
    explicit ScratchRegistry(ScratchHives hives = ScratchHives::MachineAndUser);
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

private:
    std::string m_base;  // under the real HKEY_CURRENT_USER
    HKEY m_hklm = nullptr;
    HKEY m_hkcu = nullptr;
    HKEY m_hku = nullptr;
    HKEY m_hkcr = nullptr;
};

void WriteTextFile(const std::string& path, const std::string& content);  // binary, exactly as given
std::string ReadTextFile(const std::string& path);                        // "" when missing
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
void DeleteTree(const std::string& path);  // a file or a folder with all it holds

// Registry helpers on the calling process's view (scratch keys included).
void SetRegistryString(HKEY root, const std::string& subkey, const std::string& name, const std::string& value);
std::string GetRegistryString(HKEY root, const std::string& subkey, const std::string& name);  // "" when missing
bool RegistryKeyExists(HKEY root, const std::string& subkey);
