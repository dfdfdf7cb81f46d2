// End-to-end setup runs: a copy of the demo package to start setup.exe from,
// what an installation leaves behind, and its removal between tests.
#pragma once

#include <windows.h>

#include <string>

#include "processes.h"
#include "scratch.h"

// Registry keys of an installation, as the 32-bit setup sees them.
namespace keys {
constexpr char kProduct[] = "SOFTWARE\\Orvandelsys\\Glimmerix 6";
constexpr char kAppPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Glimcap6.exe";
constexpr char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmerix 6";
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
}  // namespace keys

// A copy of the built demo package in a scratch folder, deleted at the end.
class TestPackage {
public:
    TestPackage();
    const std::string& Path() const { return m_folder.Path(); }
    std::string operator/(const std::string& name) const { return m_folder / name; }
    // Puts in a stand-in Glimcap6.exe of another version (built for the tests).
    void UseProductVersion(const std::string& version);
    void Remove(const std::string& name);
    void AppendToManifest(const std::string& lines);
    // Starts setup.exe of the package with arguments, in the package folder.
    ChildProcess Start(const std::string& arguments) const;
    // Runs it to its end; returns the exit code.
    DWORD Run(const std::string& arguments) const;

private:
    ScratchFolder m_folder;
};

// "ProgramFilesDir" + "\Glimmerix 6": where a fresh installation goes.
std::string DefaultInstallDir();
// A value of the shell-folder key: HKLM for names beginning "Common", else HKCU.
std::string ShellFolder(const std::string& name);

// Removes every trace an installation can leave: the folder that "Path" names,
// the default folder, the three keys, the group folders and the desktop and
// start-up shortcuts of both scopes.
void RemoveInstallation();

// A shell-folder value taken away for one test and put back at its end.
class HiddenShellFolder {
public:
    explicit HiddenShellFolder(const std::string& name);
    ~HiddenShellFolder();
    HiddenShellFolder(const HiddenShellFolder&) = delete;
    HiddenShellFolder& operator=(const HiddenShellFolder&) = delete;

private:
    HKEY m_root;
    std::string m_name;
    std::string m_value;
};

// The pending file operations of the next start of Windows, each entry (source
// and target in turn, a deletion's target empty) on its own line; the value is put back as it was by the saver's destructor.
std::string PendingFileOperations();
class PendingOperationsSaver {
public:
    PendingOperationsSaver();
    ~PendingOperationsSaver();
    PendingOperationsSaver(const PendingOperationsSaver&) = delete;
    PendingOperationsSaver& operator=(const PendingOperationsSaver&) = delete;

private:
    std::string m_data;  // raw REG_MULTI_SZ bytes
    bool m_present = false;
};
