// The uninstaller as a whole: the demo package installed silently into a folder
// with a blank, then the installed OrvUnInst.exe run as a process, its temporary
// copy found and waited for, and everything read back.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <set>
#include <string>
#include <vector>

#include "../instances/instance_manager.h"
#include "paths.h"
#include "processes.h"
#include "scratch.h"
#include "ui_driver.h"

namespace {
const char kRoot[] = "C:\\glx e2e";
const char kInstallDir[] = "C:\\glx e2e\\Glimmerix 6";
const char kProduct[] = "SOFTWARE\\Orvandelsys\\Glimmerix 6";
const char kMaker[] = "SOFTWARE\\Orvandelsys";
const char kUninstallEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmerix 6";
const char kAppPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Glimcap6.exe";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kSecondUser[] = "GlxE2ESecondUser";  // a second user hive under HKEY_USERS
const char kCaption[] = "Glimmerix Setup";
const char kConfirmText[] = "This will completely uninstall Glimmerix 6.\nDo you want to continue?";
const char kDoneText[] = "Glimmerix 6 has been completely uninstalled from this computer.";
const char* const kPackageFiles[] = {"Glimcap6.exe", "OrvUnInst.exe", "readme.txt",   "Glimcap6Man.chm",
                                     "HomePage.url", "GlxCodec.dll",  "OrvUnInst.log", "Samples\\capture-notes.txt"};

std::string Installed(const std::string& name) { return std::string(kInstallDir) + "\\" + name; }
std::string Uninstaller() { return Installed("OrvUnInst.exe"); }

std::string ShellFolder(HKEY root, const char* name) { return GetRegistryString(root, kShellFolders, name); }
std::string CommonGroup() { return ShellFolder(HKEY_LOCAL_MACHINE, "Common Programs") + "\\Glimmerix 6"; }
std::string CommonDesktopLink() { return ShellFolder(HKEY_LOCAL_MACHINE, "Common Desktop") + "\\Glimmerix 6.lnk"; }

std::string FileExt(const char* type) { return std::string(kFileExts) + "\\" + type; }
bool HasValue(HKEY root, const std::string& key, const char* name)
{
    return RegGetValueA(root, key.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string TempFolder()
{
    char path[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, path);
    return path;
}

// The running processes whose executable is a "uni*.tmp" copy, by id.
std::set<DWORD> CopyProcesses()
{
    std::set<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        const std::string name = CharLowerA(entry.szExeFile);
        if (name.compare(0, 3, "uni") == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0)
            ids.insert(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

// The "uni*.tmp" files of a folder.
std::set<std::string> CopyFiles(const std::string& folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "uni*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.insert(folder + found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The raw data of the pending file operations; "" when there are none.
std::string PendingData()
{
    std::string data(65536, '\0');
    DWORD size = static_cast<DWORD>(data.size());
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                     &data[0], &size) != ERROR_SUCCESS)
        return std::string();
    data.resize(size);
    return data;
}

// The pending file operations, one entry a line.
std::string PendingOperations()
{
    std::string lines = PendingData();
    for (char& c : lines)
        if (c == 0) c = '\n';
    return lines;
}

// One run of the installed uninstaller and of the temporary copy it hands over to.
struct UninstallRun {
    ChildProcess uninstaller;
    HANDLE copy = nullptr;
    DWORD copyId = 0;
    ~UninstallRun()
    {
        if (copy) {
            TerminateProcess(copy, 255);
            CloseHandle(copy);
        }
    }
    // Waits for the uninstaller's end and finds the copy it started; false when none runs.
    bool FindCopy(const std::set<DWORD>& before)
    {
        if (!uninstaller.WaitForExit(20000)) return false;
        for (DWORD id : CopyProcesses())
            if (!before.count(id) && !copy) {
                copy = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id);
                copyId = id;
            }
        return copy != nullptr;
    }
    // Waits for the copy's end; its exit code, or 0xDEAD on timeout.
    DWORD WaitForCopy()
    {
        DWORD code = 0xDEAD;
        if (WaitForSingleObject(copy, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(copy, &code);
        return code;
    }
};

class UninstallEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        // This test program shares the setup's resources: it must not count as an instance to close.
        g_instanceManager.RemoveProcess(GetCurrentProcessId());
        m_pendingBefore = PendingData();
        m_copiesBefore = CopyFiles(TempFolder());
        m_fileExtsExisted = RegistryKeyExists(HKEY_CURRENT_USER, kFileExts);
        CreateDirectoryA(kRoot, nullptr);
        CreateDirectoryA(kInstallDir, nullptr);
        // "-install" first and "-s" after it: silent, and no question about other instances.
        ASSERT_EQ(RunToEnd(Quote(BuildPath("package\\setup.exe")) + " -install -s -instdir " + Quote(kInstallDir),
                           60000, BuildPath("package")),
                  0u);
        ASSERT_TRUE(FileExists(Uninstaller()));
        ASSERT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    }

    void TearDown() override
    {
        DeleteTree(kRoot);
        DeleteTree(CommonGroup());
        DeleteFileA(CommonDesktopLink().c_str());
        for (const char* key : {kProduct, kUninstallEntry, kAppPath}) RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
        RegDeleteTreeA(HKEY_USERS, kSecondUser);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "GX6.Document");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMaker);
        RegDeleteTreeA(HKEY_CURRENT_USER, kMaker);
        for (const char* type : {".bmp", ".png", ".gif"}) RegDeleteTreeA(HKEY_CURRENT_USER, FileExt(type).c_str());
        if (!m_fileExtsExisted) RegDeleteTreeA(HKEY_CURRENT_USER, kFileExts);
        RestorePendingOperations();
        for (const std::string& copy : CopyFiles(TempFolder()))
            if (!m_copiesBefore.count(copy)) DeleteFileA(copy.c_str());
        ForgetEndedInstances();
        g_instanceManager.AddProcess(GetCurrentProcessId());
    }

    // Starts the installed uninstaller with arguments, noting the copies already running.
    void StartUninstaller(UninstallRun& run, const std::string& arguments)
    {
        m_copyProcessesBefore = CopyProcesses();
        run.uninstaller = ChildProcess(Quote(Uninstaller()) + (arguments.empty() ? "" : " " + arguments), kRoot);
        ASSERT_TRUE(run.uninstaller.Started());
    }

    // The uninstaller's message box: its text, answered with the button.
    static std::string Answer(DWORD processId, int button)
    {
        HWND box = WaitForTopLevelWindow(processId, kCaption);
        if (!box) return "<no box>";
        const std::string text = MessageBoxText(box);
        PressButton(box, button);
        EXPECT_TRUE(WaitForWindowGone(box));
        return text;
    }

    void ExpectInstallationIntact()
    {
        for (const char* name : kPackageFiles) EXPECT_TRUE(FileExists(Installed(name))) << name;
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kProduct));
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
        EXPECT_TRUE(FileExists(CommonDesktopLink()));
        EXPECT_TRUE(FileExists(CommonGroup() + "\\Glimmerix 6.lnk"));
        EXPECT_EQ(CopyFiles(TempFolder()), m_copiesBefore) << "no copy was made";
    }

    // The uninstaller's entry stays in the instance list when it hands over (it
    // ends without its exit routines); later runs must not count it.
    static void ForgetEndedInstances()
    {
        CDWordArray ids;
        g_instanceManager.CopyProcessIds(ids);
        for (int i = 0; i < ids.GetSize(); ++i) {
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, ids[i]);
            if (!process || WaitForSingleObject(process, 0) == WAIT_OBJECT_0) g_instanceManager.RemoveProcess(ids[i]);
            if (process) CloseHandle(process);
        }
    }

    // The pending list as it was: the copies' deletions are not carried over to later tests.
    void RestorePendingOperations()
    {
        if (m_pendingBefore.empty()) {
            RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
            return;
        }
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", REG_MULTI_SZ,
                        m_pendingBefore.data(), static_cast<DWORD>(m_pendingBefore.size()));
    }

    bool m_fileExtsExisted = false;
    std::string m_pendingBefore;
    std::set<std::string> m_copiesBefore;
    std::set<DWORD> m_copyProcessesBefore;
};
// A variable of this process's environment, which started processes inherit,
// set for one test.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, const std::string& value) : m_name(name)
    {
        char old[4096];
        const DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
        m_had = length > 0 && length < sizeof old;
        if (m_had) m_old = old;
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~EnvironmentOverride() { SetEnvironmentVariableA(m_name, m_had ? m_old.c_str() : nullptr); }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

bool InInstanceList(DWORD id)
{
    CDWordArray ids;
    g_instanceManager.CopyProcessIds(ids);
    for (int i = 0; i < ids.GetSize(); ++i)
        if (ids[i] == id) return true;
    return false;
}

// The whole life cycle, silent: what the logs and the product's names cover goes,
// in every hive and profile; what a user or another product owns stays.
TEST_F(UninstallEndToEnd, SilentUninstallRemovesTheProductAndKeepsTheRest)
{
    const std::string secondHive = std::string(kSecondUser) + "\\";
    const std::string secondDesktop = std::string(kRoot) + "\\second user";
    CreateDirectoryA(secondDesktop.c_str(), nullptr);
    WriteTextFile(secondDesktop + "\\Glimmerix 6.lnk", "any target");
    WriteTextFile(secondDesktop + "\\Other.lnk", "x");
    SetRegistryString(HKEY_USERS, secondHive + kShellFolders, "Desktop", secondDesktop);
    SetRegistryString(HKEY_USERS, secondHive + kProduct + "\\Recent", "File1", "a.gx6");
    SetRegistryString(HKEY_CURRENT_USER, std::string(kProduct) + "\\Settings", "Zoom", "100");
    SetRegistryString(HKEY_LOCAL_MACHINE, std::string(kMaker) + "\\Glimmerix Server", "Path", "C:\\Server");
    SetRegistryString(HKEY_CLASSES_ROOT, "GX6.Document\\shell\\open\\command", "", "Glimcap6.exe \"%1\"");
    WriteTextFile(Installed("my notes.txt"), "the user's own");
    // .bmp had a handler before the product, .png none; .gif belongs to another program.
    SetRegistryString(HKEY_CURRENT_USER, FileExt(".bmp"), "Application", "PhotoViewer.exe");
    SetRegistryString(HKEY_CURRENT_USER, FileExt(".gif"), "Application", "Other.exe");
    SetRegistryString(HKEY_CURRENT_USER, FileExt(".gif"), "GlimcapOld", "Stale.exe");
    // The installed product runs through the uninstall, having taken over two types.
    const std::string record = std::string(kRoot) + "\\product.record";
    ChildProcess product(Quote(Installed("Glimcap6.exe")) + " -takeover .bmp .png -record " + Quote(record), kRoot);
    ASSERT_TRUE(WaitUntil([&] { return ReadTextFile(record).find("ready") != std::string::npos; }));
    ASSERT_EQ(GetRegistryString(HKEY_CURRENT_USER, FileExt(".bmp"), "GlimcapOld"), "PhotoViewer.exe");
    ASSERT_EQ(GetRegistryString(HKEY_CURRENT_USER, FileExt(".png"), "Application"), "Glimcap6.exe");

    UninstallRun run;
    StartUninstaller(run, "-s");
    ASSERT_TRUE(run.FindCopy(m_copyProcessesBefore));
    EXPECT_EQ(run.WaitForCopy(), 0u);
    EXPECT_TRUE(product.WaitForExit(5000)) << "the running product is closed first";
    EXPECT_FALSE(InInstanceList(run.copyId)) << "the copy left the instance list through the normal exit";

    for (const char* name : kPackageFiles) EXPECT_FALSE(FileExists(Installed(name))) << name;
    EXPECT_FALSE(FolderExists(Installed("Samples")));
    EXPECT_TRUE(FileExists(Installed("my notes.txt"))) << "a file no log names stays, and its folder";
    EXPECT_FALSE(FolderExists(CommonGroup()));
    EXPECT_FALSE(FileExists(CommonDesktopLink()));
    EXPECT_FALSE(FileExists(secondDesktop + "\\Glimmerix 6.lnk"));
    EXPECT_TRUE(FileExists(secondDesktop + "\\Other.lnk"));

    for (const char* key : {kProduct, kUninstallEntry, kAppPath})
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, key)) << key;
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, std::string(kMaker) + "\\Glimmerix Server"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kMaker));
    EXPECT_FALSE(RegistryKeyExists(HKEY_USERS, secondHive + kMaker));
    EXPECT_TRUE(RegistryKeyExists(HKEY_USERS, secondHive + kShellFolders));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, "GX6.Document"));

    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, FileExt(".bmp"), "Application"), "PhotoViewer.exe");
    EXPECT_FALSE(HasValue(HKEY_CURRENT_USER, FileExt(".bmp"), "GlimcapOld"));
    EXPECT_FALSE(HasValue(HKEY_CURRENT_USER, FileExt(".png"), "Application"));
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, FileExt(".gif"), "Application"), "Other.exe");
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, FileExt(".gif"), "GlimcapOld"), "Stale.exe");

    // The copy waits in the temporary folder for the next start of Windows.
    std::set<std::string> copies = CopyFiles(TempFolder());
    for (const std::string& before : m_copiesBefore) copies.erase(before);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_NE(PendingOperations().find(*copies.begin() + "\n\n"), std::string::npos) << PendingOperations();
}

TEST_F(UninstallEndToEnd, ConfirmationAnsweredNoRemovesNothing)
{
    UninstallRun run;
    StartUninstaller(run, "");
    EXPECT_EQ(Answer(run.uninstaller.Id(), IDNO), kConfirmText);
    ASSERT_TRUE(run.uninstaller.WaitForExit(20000));
    ExpectInstallationIntact();
}

// Not silent: the question, then the closing message from the copy. The copy is
// made in a temporary folder with a blank, so its own path is quoted too.
TEST_F(UninstallEndToEnd, FinalMessageWhenNotSilent)
{
    const std::string temp = std::string(kRoot) + "\\temp dir\\";
    CreateDirectoryA(temp.c_str(), nullptr);
    UninstallRun run;
    {
        EnvironmentOverride tmp("TMP", temp);
        EnvironmentOverride tempVariable("TEMP", temp);
        StartUninstaller(run, "");
    }
    EXPECT_EQ(Answer(run.uninstaller.Id(), IDYES), kConfirmText);
    ASSERT_TRUE(run.FindCopy(m_copyProcessesBefore));
    EXPECT_EQ(Answer(run.copyId, IDOK), kDoneText);
    EXPECT_EQ(run.WaitForCopy(), 0u);
    EXPECT_FALSE(FolderExists(kInstallDir));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kProduct));
    const std::set<std::string> copies = CopyFiles(temp);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_NE(PendingOperations().find(*copies.begin() + "\n\n"), std::string::npos) << PendingOperations();
}

// Only "-delself" exactly, with a path after it, is the copy's pass; otherwise
// OrvUnInst.exe runs as the uninstaller and asks first.
TEST_F(UninstallEndToEnd, DelselfMisspelledOrWithoutPathIsAnUninstallRun)
{
    for (const std::string& arguments :
         {"-DELSELF " + Quote(Uninstaller()), "-Delself " + Quote(Uninstaller()), std::string("-delself")}) {
        UninstallRun run;
        StartUninstaller(run, arguments);
        EXPECT_EQ(Answer(run.uninstaller.Id(), IDNO), kConfirmText) << arguments;
        ASSERT_TRUE(run.uninstaller.WaitForExit(20000)) << arguments;
        ExpectInstallationIntact();
    }
}

// A file in use stays, and so do its folders; everything else goes all the same.
TEST_F(UninstallEndToEnd, FilesInUseStayWithTheirFolders)
{
    const std::string held = Installed("Samples\\capture-notes.txt");
    const std::string ready = std::string(kRoot) + "\\held";
    ChildProcess holder(Quote(HelperExe("file_holder")) + " " + Quote(held) + " " + Quote(ready));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(ready); }));
    UninstallRun run;
    StartUninstaller(run, "-s");
    ASSERT_TRUE(run.FindCopy(m_copyProcessesBefore));
    EXPECT_EQ(run.WaitForCopy(), 0u);
    EXPECT_TRUE(FileExists(held));
    EXPECT_TRUE(FolderExists(kInstallDir));
    for (const char* name : {"Glimcap6.exe", "OrvUnInst.exe", "readme.txt", "OrvUnInst.log"})
        EXPECT_FALSE(FileExists(Installed(name))) << name;
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_FALSE(FolderExists(CommonGroup()));
}

// An uninstaller whose quoted path would not fit 259 characters starts no copy and
// removes nothing, neither beside it nor of the real installation.
TEST_F(UninstallEndToEnd, OverlongUninstallerPathFailsCleanly)
{
    const std::string folder = std::string(kRoot) + "\\" + std::string(244 - sizeof kRoot, 'x');
    const std::string uninstaller = folder + "\\OrvUnInst.exe";
    ASSERT_EQ(uninstaller.size(), 258u) << "260 with its quotes";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(SetupExe().c_str(), uninstaller.c_str(), FALSE));
    WriteTextFile(folder + "\\OrvUnInst.log", "File Copy: keep.txt\r\n");
    WriteTextFile(folder + "\\keep.txt", "x");
    EXPECT_EQ(RunToEnd(Quote(uninstaller) + " -s", 20000, kRoot), 0u);
    for (const char* name : {"OrvUnInst.exe", "OrvUnInst.log", "keep.txt"})
        EXPECT_TRUE(FileExists(folder + "\\" + name)) << name;
    ExpectInstallationIntact();
}
}  // namespace
