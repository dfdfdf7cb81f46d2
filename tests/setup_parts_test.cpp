// The setup run's routines in this process: registry values, shortcut limits,
// the earlier installation's folder and group, and the page opened at the end.
// The registry is a scratch one wherever the routines read or write it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../app/setup_state.h"
#include "../install/registry_entries.h"
#include "../install/shortcuts.h"
#include "../setup/finishing.h"
#include "../setup/previous_install.h"
#include "../setup/setup_driver.h"
#include "browser_hook.h"
#include "scratch.h"
#include "shell_links.h"

namespace {
const char kUninstallKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmerix 6";
const char kProductKeyPath[] = "SOFTWARE\\Orvandelsys\\Glimmerix 6";
const char kAppPathKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Glimcap6.exe";

void ResetSetupState(const std::string& installDir)
{
    g_strInstallDir = installDir.c_str();
    g_strSourceDir = "";
    g_strGroupName = "Glimmerix 6";
    g_bSilent = g_bFreshInstall = g_bUpgrade = g_bAllUsers = g_bAutoStart = g_bRunAfter = FALSE;
    g_bDesktopIcon = TRUE;
}

// Registry values of an installation, by install folder, scope and version.
struct RegistryCase {
    const char* installDir;
    BOOL allUsers;
    DWORD major, minor, release, build;
    const char* uninstallString;
    const char* displayVersion;
    const char* scope;
};

const RegistryCase kRegistryCases[] = {
    {"C:\\Program Files\\Glimmerix 6", FALSE, 6, 1, 2, 3, "\"C:\\Program Files\\Glimmerix 6\\OrvUnInst.exe\"",
     "6.01.02", "A"},
    {"C:\\Glimmerix6", TRUE, 6, 0, 2, 0, "C:\\Glimmerix6\\OrvUnInst.exe", "6.00.02", "B"},
};

class RegistryValues : public ::testing::TestWithParam<RegistryCase> {};

TEST_P(RegistryValues, NineValuesUnderLocalMachine)
{
    const RegistryCase& c = GetParam();
    ScratchRegistry registry;
    ResetSetupState(c.installDir);
    g_bAllUsers = c.allUsers;
    FileVersion.major = c.major;
    FileVersion.minor = c.minor;
    FileVersion.release = c.release;
    FileVersion.build = c.build;

    WriteRegistryEntries();

    const std::string dir = c.installDir;
    EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kProductKeyPath, "AllUsers"), c.scope);
    EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kProductKeyPath, "Path"), dir);
    EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kAppPathKeyPath, ""), dir + "\\Glimcap6.exe");
    EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kUninstallKeyPath, "Contact"), "Support");
    EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kUninstallKeyPath, "DisplayName"), "Glimmerix 6");
    EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kUninstallKeyPath, "DisplayVersion"), c.displayVersion);
    EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kUninstallKeyPath, "Publisher"), "Orvandelsys Technology LLC");
    EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kUninstallKeyPath, "UninstallString"), c.uninstallString);
    EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, kUninstallKeyPath, "URLInfoAbout"), "http://www.orvandelsys.com");
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kProductKeyPath));
}

INSTANTIATE_TEST_SUITE_P(Installations, RegistryValues, ::testing::ValuesIn(kRegistryCases));

TEST(RegistryWrites, SizeIncludesTerminatorAndDefaultValue)
{
    ScratchRegistry registry;
    EXPECT_TRUE(WriteRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\A\\B", "text"));
    EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\A\\B", ""), "text");
    DWORD size = 0;
    RegGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\A\\B", nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &size);
    EXPECT_EQ(size, 5u);
}

// Shortcuts at the edges of their buffers.
class ShellLinks : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSetupState(m_folder.Path());
        WriteTextFile(Target(), "program");
    }
    std::string Target() const { return m_folder / "Glimcap6.exe"; }
    std::string Log() const { return m_folder / "OrvUnInst.log"; }
    // A link path in the scratch folder of exactly length characters.
    std::string LinkOfLength(size_t length) const
    {
        std::string prefix = m_folder.Path() + "\\";
        return prefix + std::string(length - prefix.size() - 4, 'l') + ".lnk";
    }
    ScratchFolder m_folder;
};

TEST_F(ShellLinks, QuotedTargetGivesTheSameShortcut)
{
    const std::string bare = m_folder / "bare.lnk";
    const std::string quoted = m_folder / "quoted.lnk";
    ASSERT_TRUE(SUCCEEDED(CreateShellLink(Target().c_str(), bare.c_str(), "%APPDATA%")));
    ASSERT_TRUE(SUCCEEDED(CreateShellLink(("\"" + Target() + "\"").c_str(), quoted.c_str(), "%APPDATA%")));
    EXPECT_EQ(ReadShellLink(quoted).target, ReadShellLink(bare).target);
    EXPECT_EQ(ReadShellLink(quoted).workingFolder, "%APPDATA%");
    EXPECT_EQ(ReadTextFile(Log()), "Shell Link: " + bare + "\r\nShell Link: " + quoted + "\r\n");
}

TEST_F(ShellLinks, LinkPathOver259IsRefused)
{
    const std::string longest = LinkOfLength(259);
    EXPECT_TRUE(SUCCEEDED(CreateShellLink(Target().c_str(), longest.c_str())));
    EXPECT_TRUE(FileExists(longest));
    const std::string tooLong = LinkOfLength(260);
    EXPECT_TRUE(FAILED(CreateShellLink(Target().c_str(), tooLong.c_str())));
    EXPECT_EQ(ReadTextFile(Log()), "Shell Link: " + longest + "\r\n");
}

TEST_F(ShellLinks, TargetOver511IsRefused)
{
    const std::string link = m_folder / "long.lnk";
    const std::string target = "C:\\" + std::string(509, 't');  // 512 characters
    EXPECT_TRUE(FAILED(CreateShellLink(target.c_str(), link.c_str())));
    EXPECT_TRUE(FAILED(CreateShellLink(("\"" + target + "\"").c_str(), link.c_str())));
    EXPECT_FALSE(FileExists(link));
    EXPECT_FALSE(FileExists(Log()));
}

// The earlier installation's folder, from "Path" or the App Paths entry.
struct FolderCase {
    const char* path;     // null: no "Path" value
    const char* appPath;  // null: no App Paths value
    const char* expected;
};

const FolderCase kFolderCases[] = {
    {"C:\\Program Files\\Glimmerix 6\\", nullptr, "C:\\Program Files\\Glimmerix 6"},
    {"C:\\A", "C:\\B\\Glimcap6.exe", "C:\\A"},
    {nullptr, "C:\\Program Files\\Glimmerix 6\\Glimcap6.exe", "C:\\Program Files\\Glimmerix 6"},
    {nullptr, "C:\\Program Files\\Glimmerix 6\\GLIMCAP6.EXE", ""},  // the name is compared case-sensitively
    {"", "C:\\G\\Glimcap6.exe", "C:\\G"},
    {nullptr, nullptr, ""},
};

class PreviousFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(PreviousFolder, FromPathOrAppPaths)
{
    const FolderCase& c = GetParam();
    ScratchRegistry registry;
    if (c.path) SetRegistryString(HKEY_LOCAL_MACHINE, kProductKeyPath, "Path", c.path);
    if (c.appPath) SetRegistryString(HKEY_LOCAL_MACHINE, kAppPathKeyPath, "", c.appPath);
    EXPECT_EQ(std::string(FindPreviousInstallDir()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Registry, PreviousFolder, ::testing::ValuesIn(kFolderCases));

TEST(ProgramFiles, FromRegistryOrWindowsFolder)
{
    ScratchRegistry registry;
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(std::string(GetProgramFilesDir()), std::string(windows, 3) + "Program Files");
    SetRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                      "D:\\Apps\\");
    EXPECT_EQ(std::string(GetProgramFilesDir()), "D:\\Apps");
}

// The group recovered from an earlier install log.
const char kPrograms[] = "C:\\Users\\T\\Start Menu\\Programs";
const char kStartup[] = "C:\\Users\\T\\Start Menu\\Programs\\Startup";
const char kCommonPrograms[] = "C:\\ProgramData\\Start Menu\\Programs";

struct GroupCase {
    const char* name;
    const char* orvUnInstLog;  // null: no such file
    const char* installLog;    // null: no such file
    BOOL allUsers;
    bool startupMissing;
    const char* expected;
};

const GroupCase kGroupCases[] = {
    {"group", "Shell Link: C:\\Users\\T\\Start Menu\\Programs\\Glimmerix 6\\Glimmerix 6.lnk\r\n", nullptr, FALSE,
     false, "Glimmerix 6"},
    {"nested", "File Copy: a\r\nShell Link: C:\\Users\\T\\Start Menu\\Programs\\Orvandelsys\\Glimmerix 6 Pro\\x.lnk\n",
     nullptr, FALSE, false, "Orvandelsys\\Glimmerix 6 Pro"},
    {"startup only", "Shell Link: C:\\Users\\T\\Start Menu\\Programs\\Startup\\Glimmerix 6.lnk\r\n", nullptr, FALSE,
     false, "Glimmerix 6"},
    {"in programs folder", "Shell Link: C:\\Users\\T\\Start Menu\\Programs\\Glimmerix 6.lnk\r\n", nullptr, FALSE,
     false, ""},
    {"later wins",
     "Shell Link: C:\\Users\\T\\Start Menu\\Programs\\First\\a.lnk\r\n"
     "Shell Link: C:\\Users\\T\\Start Menu\\Programs\\Startup\\a.lnk\r\n"
     "Shell Link: C:\\Users\\T\\Start Menu\\Programs\\Second\\a.lnk\r\n"
     "Shell Link: C:\\Users\\T\\Desktop\\a.lnk\r\n",
     nullptr, FALSE, false, "Second"},
    {"capitals", "Shell Link: c:\\users\\t\\START MENU\\Programs\\My Group\\a.lnk\r\n", nullptr, FALSE, false,
     "My Group"},
    {"install.log", nullptr, "Shell Link: C:\\Users\\T\\Start Menu\\Programs\\Old Group\\a.lnk\r\n", FALSE, false,
     "Old Group"},
    {"OrvUnInst.log first", "Shell Link: C:\\Users\\T\\Start Menu\\Programs\\New\\a.lnk\r\n",
     "Shell Link: C:\\Users\\T\\Start Menu\\Programs\\Old\\a.lnk\r\n", FALSE, false, "New"},
    {"not a record", " Shell Link: C:\\Users\\T\\Start Menu\\Programs\\X\\a.lnk\r\nshell link: "
                     "C:\\Users\\T\\Start Menu\\Programs\\Y\\a.lnk\r\n",
     nullptr, FALSE, false, "Glimmerix 6"},
    {"startup value missing", "Shell Link: C:\\Users\\T\\Start Menu\\Programs\\G\\a.lnk\r\n", nullptr, FALSE, true,
     "Glimmerix 6"},
    {"all users", "Shell Link: C:\\Users\\T\\Start Menu\\Programs\\User\\a.lnk\r\n"
                  "Shell Link: C:\\ProgramData\\Start Menu\\Programs\\Common\\a.lnk\r\n",
     nullptr, TRUE, false, "Common"},
    {"no log", nullptr, nullptr, FALSE, false, "Glimmerix 6"},
};

class PreviousGroup : public ::testing::TestWithParam<GroupCase> {};

TEST_P(PreviousGroup, FromLastLinkInProgramsFolder)
{
    const GroupCase& c = GetParam();
    ScratchRegistry registry;
    ScratchFolder folder;
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    SetRegistryString(HKEY_CURRENT_USER, key, "Programs", kPrograms);
    if (!c.startupMissing) SetRegistryString(HKEY_CURRENT_USER, key, "Startup", kStartup);
    SetRegistryString(HKEY_LOCAL_MACHINE, key, "Common Programs", kCommonPrograms);
    SetRegistryString(HKEY_LOCAL_MACHINE, key, "Common Startup", std::string(kCommonPrograms) + "\\Startup");
    if (c.orvUnInstLog) WriteTextFile(folder / "OrvUnInst.log", c.orvUnInstLog);
    if (c.installLog) WriteTextFile(folder / "install.log", c.installLog);
    ResetSetupState(folder.Path());
    g_bAllUsers = c.allUsers;

    ReadPreviousGroupName();

    EXPECT_EQ(std::string(g_strGroupName), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Logs, PreviousGroup, ::testing::ValuesIn(kGroupCases));

// The page opened at the end of a run, read back through Wine's browser hook.
struct PageCase {
    const char* name;
    BOOL fresh, upgrade, silent;
    const char* homePageUrl;  // null: no HomePage.url
    const char* expected;     // null: no page
};

const PageCase kPageCases[] = {
    {"fresh with query", TRUE, FALSE, FALSE, "[InternetShortcut]\r\nURL=http://host.example/path?ref=7\r\n",
     "http://www.orvandelsys.com/gxpro/InstScript.asp?ref=7"},
    {"fresh without ?", TRUE, FALSE, FALSE, "[InternetShortcut]\r\nURL=http://host.example/path\r\n",
     "http://www.orvandelsys.com/gxpro/installed.asp"},
    {"fresh, first URL line counts", TRUE, FALSE, FALSE,
     "URL=http://host.example/a\r\nURL=http://host.example/b?x=1\r\n", "http://www.orvandelsys.com/gxpro/installed.asp"},
    {"fresh, prefix not at line start", TRUE, FALSE, FALSE, " URL=http://host.example/b?x=1\r\n",
     "http://www.orvandelsys.com/gxpro/installed.asp"},
    {"fresh without file", TRUE, FALSE, FALSE, nullptr, "http://www.orvandelsys.com/gxpro/installed.asp"},
    {"upgrade", FALSE, TRUE, FALSE, "URL=http://host.example/path?ref=7\r\n",
     "http://www.orvandelsys.com/gxpro/installed.asp"},
    {"repeat of the same version", FALSE, FALSE, FALSE, "URL=http://host.example/path?ref=7\r\n", nullptr},
    {"silent fresh", TRUE, FALSE, TRUE, "URL=http://host.example/path?ref=7\r\n", nullptr},
    {"silent upgrade", FALSE, TRUE, TRUE, nullptr, nullptr},
};

class FinishingPages : public ::testing::TestWithParam<PageCase> {};

TEST_P(FinishingPages, OpenedByCase)
{
    const PageCase& c = GetParam();
    BrowserRecorder browser;
    ScratchFolder folder;
    if (c.homePageUrl) WriteTextFile(folder / "HomePage.url", c.homePageUrl);
    ResetSetupState(folder.Path());
    g_bFreshInstall = c.fresh;
    g_bUpgrade = c.upgrade;
    g_bSilent = c.silent;
    char here[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, here);

    RunFinishingActions();

    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(lstrcmpiA(current, folder.Path().c_str()), 0) << current;
    SetCurrentDirectoryA(here);
    std::vector<std::string> expected;
    if (c.expected) expected.push_back(c.expected);
    EXPECT_EQ(browser.Opened(), expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Runs, FinishingPages, ::testing::ValuesIn(kPageCases));
}  // namespace
