// setup.exe started as a whole process from a copy of the demo package; what it
// did is read back from the registry, the folders, the .lnk files, the install
// log and the browser hook. Every test starts and ends without an installation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser_hook.h"
#include "installation.h"
#include "paths.h"
#include "processes.h"
#include "scratch.h"
#include "shell_links.h"
#include "ui_driver.h"

namespace {
const char kCaption[] = "Glimmerix Setup";
const char kHomePage[] = "http://www.orvandelsys.com";
const char kHomePageOpened[] = "http://www.orvandelsys.com/";  // the shell adds the root path
const char kProductWindow[] = "Glimmerix 6 - Untitled";
const char* const kGroupLinks[] = {"Glimmerix 6.lnk", "Glimmerix 6 Help.lnk", "Read about Glimmerix 6.lnk",
                                   "Uninstall Glimmerix 6.lnk"};
const char* const kGroupTargets[] = {"Glimcap6.exe", "Glimcap6Man.chm", "readme.txt", "OrvUnInst.exe"};

std::string Lower(std::string text)
{
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::string Product(const std::string& name) { return GetRegistryString(HKEY_LOCAL_MACHINE, keys::kProduct, name); }
std::string Uninstall(const std::string& name)
{
    return GetRegistryString(HKEY_LOCAL_MACHINE, keys::kUninstall, name);
}

// The records of one kind in a log, operands only, in file order.
std::vector<std::string> Records(const std::string& logPath, const std::string& prefix)
{
    std::vector<std::string> operands;
    const std::string text = ReadTextFile(logPath);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind(prefix, 0) == 0) operands.push_back(line.substr(prefix.size()));
        start = end + 1;
    }
    return operands;
}

// The shortcut exists and points at installDir\target, with "%APPDATA%" as working
// folder for the program's own shortcuts.
void ExpectLink(const std::string& link, const std::string& installDir, const std::string& target)
{
    LinkContents contents = ReadShellLink(link);
    ASSERT_TRUE(contents.loaded) << link;
    EXPECT_EQ(Lower(contents.target), Lower(installDir + "\\" + target)) << link;
    EXPECT_EQ(contents.workingFolder, target == "Glimcap6.exe" ? "%APPDATA%" : "") << link;
}

// The four group shortcuts in group, to the files of installDir.
void ExpectGroup(const std::string& group, const std::string& installDir)
{
    for (int i = 0; i < 4; ++i) ExpectLink(group + "\\" + kGroupLinks[i], installDir, kGroupTargets[i]);
}

std::vector<std::string> GroupLinkPaths(const std::string& group)
{
    std::vector<std::string> paths;
    for (const char* name : kGroupLinks) paths.push_back(group + "\\" + name);
    return paths;
}

class SetupRun : public ::testing::Test {
protected:
    void SetUp() override { RemoveInstallation(); }
    void TearDown() override { RemoveInstallation(); }

    BrowserRecorder browser;
    TestPackage package;
};

TEST_F(SetupRun, FreshSilentInstallForAllUsers)
{
    ASSERT_EQ(package.Run("-s"), 0u);
    const std::string dir = DefaultInstallDir();

    for (const char* name : {"Glimcap6.exe", "OrvUnInst.exe", "readme.txt", "Glimcap6Man.chm", "HomePage.url",
                             "GlxCodec.dll", "GlxShell64.dll", "Samples\\capture-notes.txt"})
        EXPECT_TRUE(FileExists(dir + "\\" + name)) << name;
    EXPECT_EQ(ReadTextFile(dir + "\\OrvUnInst.exe"), ReadTextFile(package / "setup.exe"));

    EXPECT_EQ(Product("AllUsers"), "B");
    EXPECT_EQ(Product("Path"), dir);
    EXPECT_EQ(GetRegistryString(HKEY_LOCAL_MACHINE, keys::kAppPath, ""), dir + "\\Glimcap6.exe");
    EXPECT_EQ(Uninstall("Contact"), "Support");
    EXPECT_EQ(Uninstall("DisplayName"), "Glimmerix 6");
    EXPECT_EQ(Uninstall("DisplayVersion"), "6.00.02");
    EXPECT_EQ(Uninstall("Publisher"), "Orvandelsys Technology LLC");
    // The path holds blanks: quoted, so that no "C:\Program.exe" runs in its place.
    EXPECT_EQ(Uninstall("UninstallString"), "\"" + dir + "\\OrvUnInst.exe\"");
    EXPECT_EQ(Uninstall("URLInfoAbout"), kHomePage);

    const std::string group = ShellFolder("Common Programs") + "\\Glimmerix 6";
    const std::string desktopLink = ShellFolder("Common Desktop") + "\\Glimmerix 6.lnk";
    ExpectGroup(group, dir);
    ExpectLink(desktopLink, dir, "Glimcap6.exe");
    EXPECT_FALSE(FileExists(ShellFolder("Common Startup") + "\\Glimmerix 6.lnk"));

    // The install log: the manifest byte for byte, an empty line, then the records.
    std::string expected = ReadTextFile(package / "OrvUnInst.log") + "\r\n" + "Made Dir: " + group + "\r\n";
    for (const std::string& link : GroupLinkPaths(group)) expected += "Shell Link: " + link + "\r\n";
    expected += "Shell Link: " + desktopLink + "\r\n";
    EXPECT_EQ(ReadTextFile(dir + "\\OrvUnInst.log"), expected);

    EXPECT_TRUE(browser.Opened().empty()) << "a silent run opens no page";
}

// Command-line options of silent fresh installations. "{dir}" stands for an
// existing folder without blanks.
struct OptionCase {
    const char* arguments;
    const char* installDir;  // "{dir}" forms, or null for the default folder
    bool desktop;
    bool startup;
    bool runAfter;
};

const OptionCase kOptionCases[] = {
    {"-s -instdir {dir}", "{dir}", true, false, false},
    {"-s -instdir {dir}\\", "{dir}", true, false, false},
    {"-s -instdir {dir}/", "{dir}", true, false, false},
    {"-s -instdir {dir}\\\\", "{dir}\\", true, false, false},  // only one backslash is removed
    {"-s -instdir {dir}\\missing", nullptr, true, false, false},
    {"-s -instdir {dir}\\missing -instdir {dir}", "{dir}", true, false, false},
    {"-s -instdir {dir} -instdir {dir}\\missing", nullptr, true, false, false},  // a later one empties it
    {"-s -instdir", nullptr, true, false, false},                               // last argument: ignored
    {"-s -INSTDIR {dir}", nullptr, true, false, false},                         // case-sensitive
    {"-s -instdir -allusers", nullptr, true, false, false},
    {"-s -nodeskico", nullptr, false, false, false},
    {"-s -AutoStart", nullptr, true, true, false},
    {"-s -autostart -NODESKICO", nullptr, false, true, false},
    {"-s -RUNAFTER", nullptr, true, false, true},
};

std::string Expand(std::string text, const std::string& dir)
{
    for (size_t at; (at = text.find("{dir}")) != std::string::npos;) text.replace(at, 5, dir);
    return text;
}

std::string ProcessImage(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    char image[MAX_PATH] = "";
    DWORD size = sizeof image;
    if (process) {
        QueryFullProcessImageNameA(process, 0, image, &size);
        CloseHandle(process);
    }
    return image;
}

class SetupOptions : public SetupRun, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(SetupOptions, DecideFolderShortcutsAndStart)
{
    const OptionCase& c = GetParam();
    ScratchFolder target;
    ASSERT_EQ(package.Run(Expand(c.arguments, target.Path())), 0u);

    const std::string dir = c.installDir ? Expand(c.installDir, target.Path()) : DefaultInstallDir();
    EXPECT_EQ(Product("Path"), dir);
    EXPECT_TRUE(FileExists(dir + "\\Glimcap6.exe"));
    EXPECT_EQ(FileExists(ShellFolder("Common Desktop") + "\\Glimmerix 6.lnk"), c.desktop);
    const std::string startupLink = ShellFolder("Common Startup") + "\\Glimmerix 6.lnk";
    EXPECT_EQ(FileExists(startupLink), c.startup);
    if (c.startup) ExpectLink(startupLink, dir, "Glimcap6.exe");
    EXPECT_EQ(Records(dir + "\\OrvUnInst.log", "Shell Link: ").size(), 4u + c.desktop + c.startup);

    if (c.runAfter) {
        HWND product = WaitForTopLevelWindow(0, kProductWindow);
        ASSERT_NE(product, nullptr) << "the product was not started";
        EXPECT_EQ(Lower(ProcessImage(product)), Lower(dir + "\\Glimcap6.exe"));
        PostMessageA(product, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitForWindowGone(product));
    }
}

INSTANTIATE_TEST_SUITE_P(Silent, SetupOptions, ::testing::ValuesIn(kOptionCases));

// A damaged package: string 18 even in a silent run, the home page, exit code 1,
// and nothing installed.
struct DamageCase {
    const char* name;
    const char* arguments;
    void (*damage)(TestPackage&);
};

const DamageCase kDamageCases[] = {
    {"no manifest", "-s", [](TestPackage& p) { p.Remove("OrvUnInst.log"); }},
    {"version 0.x", "-s", [](TestPackage& p) { p.UseProductVersion("0.9.0.0"); }},
    {"no Glimcap6.exe", "-s", [](TestPackage& p) { p.Remove("Glimcap6.exe"); }},
    {"no manifest, wizard run", "", [](TestPackage& p) { p.Remove("OrvUnInst.log"); }},
};

class DamagedPackage : public SetupRun, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedPackage, IsReportedAndNothingInstalled)
{
    const DamageCase& c = GetParam();
    c.damage(package);
    ChildProcess setup = package.Start(c.arguments);
    HWND box = WaitForTopLevelWindow(setup.Id(), kCaption);
    ASSERT_NE(box, nullptr) << c.name;
    EXPECT_EQ(MessageBoxText(box),
              std::string("This setup files are damaged, installation aborted.\n\nPlease download the product again "
                          "from ") +
                  kHomePage + " and re-try the setup.");
    PressButton(box, IDOK);
    DWORD exitCode = 0;
    ASSERT_TRUE(setup.WaitForExit(30000, &exitCode));
    EXPECT_EQ(exitCode, 1u);
    EXPECT_EQ(browser.Opened(), std::vector<std::string>{kHomePageOpened});
    EXPECT_EQ(Product("Path"), "");
    EXPECT_FALSE(FolderExists(DefaultInstallDir()));
}

INSTANTIATE_TEST_SUITE_P(Packages, DamagedPackage, ::testing::ValuesIn(kDamageCases));

// A second run over an earlier installation.
class RepeatInstall : public SetupRun {
protected:
    std::string Dir() const { return DefaultInstallDir(); }
    std::string Log() const { return Dir() + "\\OrvUnInst.log"; }
};

TEST_F(RepeatInstall, TakesNestedGroupFromOldLogAndRemovesOldShortcutsFirst)
{
    ASSERT_EQ(package.Run("-s -autostart"), 0u);
    const std::string programs = ShellFolder("Common Programs");
    const std::string oldGroup = programs + "\\Glimmerix 6";
    const std::string nested = programs + "\\Orvandelsys\\Glimmerix 6 Pro";
    // An older run left a link in a nested group, recorded last: its group wins.
    ASSERT_TRUE(CreateDirectoryA((programs + "\\Orvandelsys").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(nested.c_str(), nullptr));
    WriteTextFile(nested + "\\Glimmerix 6.lnk", "not a shortcut");
    WriteTextFile(Log(), ReadTextFile(Log()) + "Shell Link: " + nested + "\\Glimmerix 6.lnk\r\n");
    // Files that the manifest's "File Del: " records name.
    WriteTextFile(Dir() + "\\Glimcap5.exe", "old program");
    WriteTextFile(Dir() + "\\leftover.tmp", "temporary");

    ASSERT_EQ(package.Run("-s"), 0u);

    EXPECT_FALSE(FolderExists(oldGroup)) << "the old group goes with its shortcuts";
    EXPECT_FALSE(FileExists(ShellFolder("Common Startup") + "\\Glimmerix 6.lnk"));
    ExpectGroup(nested, Dir());  // the placeholder was deleted before the new shortcut was made
    EXPECT_EQ(Records(Log(), "Made Dir: "), std::vector<std::string>{nested});
    EXPECT_EQ(Records(Log(), "Shell Link: ").size(), 5u);
    EXPECT_FALSE(FileExists(Dir() + "\\Glimcap5.exe"));
    EXPECT_FALSE(FileExists(Dir() + "\\leftover.tmp"));
    EXPECT_EQ(Product("AllUsers"), "B");
    EXPECT_TRUE(browser.Opened().empty());
}

TEST_F(RepeatInstall, CarriesOverCurrentUserScope)
{
    for (const char* stored : {"A", "b"}) {
        ASSERT_EQ(package.Run("-s"), 0u);
        SetRegistryString(HKEY_LOCAL_MACHINE, keys::kProduct, "AllUsers", stored);

        ASSERT_EQ(package.Run("-s -allusers"), 0u);  // the stored scope replaces "-allusers"

        EXPECT_EQ(Product("AllUsers"), "A") << stored;
        EXPECT_FALSE(FolderExists(ShellFolder("Common Programs") + "\\Glimmerix 6")) << stored;
        EXPECT_FALSE(FileExists(ShellFolder("Common Desktop") + "\\Glimmerix 6.lnk")) << stored;
        ExpectGroup(ShellFolder("Programs") + "\\Glimmerix 6", Dir());
        ExpectLink(ShellFolder("Desktop") + "\\Glimmerix 6.lnk", Dir(), "Glimcap6.exe");
        RemoveInstallation();
    }
}

TEST_F(RepeatInstall, FindsFolderThroughAppPaths)
{
    ScratchFolder custom;
    ASSERT_EQ(package.Run("-s -instdir " + custom.Path()), 0u);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, keys::kProduct, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "Path");
    RegCloseKey(key);

    ASSERT_EQ(package.Run("-s"), 0u);

    EXPECT_EQ(Product("Path"), custom.Path());
    EXPECT_FALSE(FolderExists(Dir()));
}

// Versions of the package against the installed 6.0.2.0, with and without "-s".
struct VersionCase {
    const char* packageVersion;  // null: the demo package's own 6.0.2.0
    const char* arguments;
    const char* question;  // null: no question
    int answer;
    const char* displayVersionAfter;
};

const VersionCase kVersionCases[] = {
    {nullptr, "", "Glimmerix ver. 6.00.02.00 is already installed on this machine.\n\nWould you like to run this "
                  "setup again to select different options or repair the files?", IDNO, "6.00.02"},
    {nullptr, "", "Glimmerix ver. 6.00.02.00 is already installed on this machine.\n\nWould you like to run this "
                  "setup again to select different options or repair the files?", IDYES, "6.00.02"},
    {"6.0.1.0", "", "Glimmerix v. 6.00.02.00 is already installed on this machine. You are trying to install an "
                    "older version 6.00.01.00 .\n\nDo you still want to continue?", IDYES, "6.00.02"},
    {"6.0.1.0", "", "Glimmerix v. 6.00.02.00 is already installed on this machine. You are trying to install an "
                    "older version 6.00.01.00 .\n\nDo you still want to continue?", IDNO, "6.00.02"},
    // Newer: no question; the run stops where the wizard would start.
    {"6.1.0.0", "", nullptr, 0, "6.00.02"},
    {nullptr, "-s", nullptr, 0, "6.00.02"},
    {"6.0.1.0", "-s", nullptr, 0, "6.00.01"},
    {"6.1.0.0", "-s", nullptr, 0, "6.01.00"},
};

class VersionQuestions : public RepeatInstall, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionQuestions, AskOnlyWhenNotNewer)
{
    const VersionCase& c = GetParam();
    ASSERT_EQ(package.Run("-s"), 0u);
    TestPackage second;
    if (c.packageVersion) second.UseProductVersion(c.packageVersion);

    ChildProcess setup = second.Start(c.arguments);
    if (c.question) {
        HWND box = WaitForTopLevelWindow(setup.Id(), kCaption);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(MessageBoxText(box), c.question);
        PressButton(box, c.answer);
    }
    DWORD exitCode = 1;
    ASSERT_TRUE(setup.WaitForExit(30000, &exitCode)) << "a box is waiting for an answer";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(Uninstall("DisplayVersion"), c.displayVersionAfter);
    EXPECT_TRUE(browser.Opened().empty());
}

INSTANTIATE_TEST_SUITE_P(Installed6002, VersionQuestions, ::testing::ValuesIn(kVersionCases));

// Shell folders that cannot be read.
TEST_F(SetupRun, AllUsersProgramsFolderMissingFallsBackToCurrentUser)
{
    HiddenShellFolder hidden("Common Programs");
    ASSERT_EQ(package.Run("-s -autostart"), 0u);
    const std::string dir = DefaultInstallDir();
    EXPECT_EQ(Product("AllUsers"), "A");
    ExpectGroup(ShellFolder("Programs") + "\\Glimmerix 6", dir);
    ExpectLink(ShellFolder("Desktop") + "\\Glimmerix 6.lnk", dir, "Glimcap6.exe");
    ExpectLink(ShellFolder("Startup") + "\\Glimmerix 6.lnk", dir, "Glimcap6.exe");
    EXPECT_FALSE(FileExists(ShellFolder("Common Desktop") + "\\Glimmerix 6.lnk"));
}

TEST_F(SetupRun, UnreadableFoldersGetNoShortcutsAtTheDriveRoot)
{
    HiddenShellFolder commonPrograms("Common Programs");
    HiddenShellFolder programs("Programs");
    HiddenShellFolder desktop("Desktop");
    HiddenShellFolder startup("Startup");
    ASSERT_EQ(package.Run("-s -autostart"), 0u);
    const std::string dir = DefaultInstallDir();
    EXPECT_TRUE(FileExists(dir + "\\Glimcap6.exe"));
    EXPECT_EQ(Product("AllUsers"), "A");
    EXPECT_TRUE(Records(dir + "\\OrvUnInst.log", "Made Dir: ").empty());
    EXPECT_TRUE(Records(dir + "\\OrvUnInst.log", "Shell Link: ").empty());
    EXPECT_FALSE(FolderExists("C:\\Glimmerix 6"));
    EXPECT_FALSE(FileExists("C:\\Glimmerix 6.lnk"));
}

TEST_F(SetupRun, DestinationEqualToPackageFolder)
{
    const std::string manifest = ReadTextFile(package / "OrvUnInst.log");
    ASSERT_EQ(package.Run("-s -instdir " + package.Path()), 0u);
    EXPECT_EQ(Product("Path"), package.Path());
    // Only the record with '>' copies anything; the records go to the manifest itself.
    EXPECT_TRUE(FileExists(package / "OrvUnInst.exe"));
    const std::string log = ReadTextFile(package / "OrvUnInst.log");
    EXPECT_EQ(log.substr(0, manifest.size() + 2), manifest + "\r\n");
    const std::string group = ShellFolder("Common Programs") + "\\Glimmerix 6";
    EXPECT_EQ(Records(package / "OrvUnInst.log", "Made Dir: "), std::vector<std::string>{group});
    EXPECT_EQ(Records(package / "OrvUnInst.log", "Shell Link: ").size(), 5u);
    ExpectGroup(group, package.Path());
}

TEST_F(SetupRun, FilesInUseAreReplacedNowOrAtTheNextStart)
{
    PendingOperationsSaver pending;
    // A running helper program of the product: in use, yet movable.
    ASSERT_TRUE(CopyFileA(HelperExe("file_holder").c_str(), (package / "GlxHelper.exe").c_str(), FALSE));
    package.AppendToManifest("File Copy: GlxHelper.exe\r\n");
    ASSERT_EQ(package.Run("-s"), 0u);
    const std::string dir = DefaultInstallDir();
    WriteTextFile(package / "readme.txt", "new readme");

    // It holds readme.txt without sharing: neither deletable nor movable.
    const std::string ready = package / "held.flag";
    ChildProcess holder(Quote(dir + "\\GlxHelper.exe") + " " + Quote(dir + "\\readme.txt") + " " + Quote(ready));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(ready); }));

    ASSERT_EQ(package.Run("-s"), 0u);

    EXPECT_TRUE(FileExists(dir + "\\GlxHelper.exe.old"));
    EXPECT_TRUE(FileExists(dir + "\\GlxHelper.exe"));
    EXPECT_EQ(ReadTextFile(dir + "\\readme.txt.new"), "new readme");
    const std::string operations = Lower(PendingFileOperations());
    EXPECT_NE(operations.find(Lower(dir + "\\GlxHelper.exe.old")), std::string::npos) << operations;
    EXPECT_NE(operations.find(Lower(dir + "\\readme.txt.new")), std::string::npos) << operations;
    // The rest of the run went on: shortcuts and registry are there.
    ExpectGroup(ShellFolder("Common Programs") + "\\Glimmerix 6", dir);
    EXPECT_EQ(Product("Path"), dir);
    holder.Terminate();
}
}  // namespace
