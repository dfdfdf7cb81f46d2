// The uninstall run on scratch hives and folders: image-type handlers put back,
// both logs replayed with their guards, the install folder, and the default
// shortcuts and groups of the all-users profile and of every user hive.
#include <gtest/gtest.h>

#include <string>

#include "../uninstall/uninstall_run.h"
#include "scratch.h"

namespace {
const char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kNone[] = "<none>";  // a value that is not there

std::string ValueOrNone(HKEY root, const std::string& key, const char* name)
{
    char buffer[2048];
    DWORD size = sizeof buffer;
    if (RegGetValueA(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return kNone;
    return buffer;
}

void SetOrSkip(HKEY root, const std::string& key, const char* name, const std::string& value)
{
    if (value != kNone) SetRegistryString(root, key, name ? name : "", value);
}

class UninstallRun : public ::testing::Test {
protected:
    // A file under the scratch root, its folders made first.
    std::string File(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1))
            CreateDirectoryA((m_root / relative.substr(0, at)).c_str(), nullptr);
        WriteTextFile(m_root / relative, "x");
        SetFileAttributesA((m_root / relative).c_str(), attributes);
        return m_root / relative;
    }
    bool Exists(const std::string& relative) const
    {
        return GetFileAttributesA((m_root / relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // The install folder as the self-removal pass passes it: ending with '\'.
    std::string Folder() const { return m_root / "Glimmerix 6\\"; }

    ScratchRegistry m_registry{ScratchHives::Every};
    ScratchFolder m_root;
};

struct HandlerCase {
    const char* extension;
    std::string handler;   // before the run
    std::string saved;     // "GlimcapOld" before the run
    std::string handlerAfter;
    std::string savedAfter;
};

std::string Long(size_t length) { return std::string(length - 12, 'x') + "Glimcap6.exe"; }

const HandlerCase kHandlerCases[] = {
    {".bmp", "Glimcap6.exe", "PhotoViewer.exe", "PhotoViewer.exe", kNone},  // previous handler back
    {".png", "C:\\Apps\\Glimcap6.exe \"%1\"", kNone, kNone, kNone},       // none saved: handler deleted
    {".tif", "Glimcap6.exe", "", kNone, kNone},                            // empty saved: handler deleted
    {".gif", "Other.exe", "Stale.exe", "Other.exe", "Stale.exe"},          // another program's: left alone
    {".jpg", "glimcap6.exe", "Old.exe", "glimcap6.exe", "Old.exe"},        // the name is matched with case
    {".jpeg", kNone, "Old.exe", kNone, "Old.exe"},                          // no handler at all
    {".wpg", Long(512), "Old.exe", Long(512), "Old.exe"},                  // over 511 characters: absent
    {".cmp", Long(511), "Old.exe", "Old.exe", kNone},                      // 511 characters still fit
    {".tga", "Glimcap6.exe", Long(600), kNone, kNone},                     // unreadable saved handler
    {".xyz", "Glimcap6.exe", "Old.exe", "Glimcap6.exe", "Old.exe"},        // not an image type of the table
};

void CheckHandlers(HKEY base, const std::string& prefix, const char* valueName)
{
    for (const HandlerCase& c : kHandlerCases) {
        EXPECT_EQ(ValueOrNone(base, prefix + c.extension, valueName), c.handlerAfter) << c.extension;
        EXPECT_EQ(ValueOrNone(base, prefix + c.extension, "GlimcapOld"), c.savedAfter) << c.extension;
    }
}

TEST_F(UninstallRun, HandlersComeBackFromTheUsersFileExts)
{
    const std::string prefix = std::string(kFileExts) + "\\";
    for (const HandlerCase& c : kHandlerCases) {
        SetOrSkip(HKEY_CURRENT_USER, prefix + c.extension, "Application", c.handler);
        SetOrSkip(HKEY_CURRENT_USER, prefix + c.extension, "GlimcapOld", c.saved);
        // The same extension under HKEY_CLASSES_ROOT is not looked at while FileExts exists.
        SetRegistryString(HKEY_CLASSES_ROOT, c.extension, "", "Glimcap6.exe");
    }
    EXPECT_TRUE(RestoreImageHandlers()) << "a change is announced";
    CheckHandlers(HKEY_CURRENT_USER, prefix, "Application");
    for (const HandlerCase& c : kHandlerCases)
        EXPECT_EQ(ValueOrNone(HKEY_CLASSES_ROOT, c.extension, nullptr), "Glimcap6.exe") << c.extension;
}

TEST_F(UninstallRun, HandlersComeBackUnderClassesRootWithoutFileExts)
{
    for (const HandlerCase& c : kHandlerCases) {
        SetOrSkip(HKEY_CLASSES_ROOT, c.extension, nullptr, c.handler);
        SetOrSkip(HKEY_CLASSES_ROOT, c.extension, "GlimcapOld", c.saved);
    }
    EXPECT_TRUE(RestoreImageHandlers());
    CheckHandlers(HKEY_CLASSES_ROOT, "", nullptr);
}

TEST_F(UninstallRun, NoNoticeWhenNoHandlerNamesTheProduct)
{
    SetRegistryString(HKEY_CURRENT_USER, std::string(kFileExts) + "\\.bmp", "Application", "Other.exe");
    SetRegistryString(HKEY_CURRENT_USER, std::string(kFileExts) + "\\.bmp", "GlimcapOld", "Old.exe");
    EXPECT_FALSE(RestoreImageHandlers()) << "nothing changed: nothing is announced";
    EXPECT_EQ(ValueOrNone(HKEY_CURRENT_USER, std::string(kFileExts) + "\\.bmp", "GlimcapOld"), "Old.exe");
}

// Both logs: shortcuts and outside folders first, then the files, the install
// log last; a user's own file keeps the folder; tampered records touch nothing.
TEST_F(UninstallRun, LogsReplayedAndUnlistedFilesKept)
{
    File("Glimmerix 6\\Glimcap6.exe");
    File("Glimmerix 6\\readme.txt", FILE_ATTRIBUTE_READONLY);
    File("Glimmerix 6\\Samples\\a.txt");
    File("Glimmerix 6\\my notes.txt");
    File("Glimmerix 6\\install.log");  // named by no record: stays
    File("Programs\\Glimmerix 6 Pro\\Glimmerix 6.lnk");
    File("Programs\\Other\\keep.lnk");
    File("Desktop\\Glimmerix 6.lnk");
    File("outside.txt");
    File("Desktop\\notes.txt");
    WriteTextFile(Folder() + "OrvUnInst.log",
                  "File Copy: Glimcap6.exe\r\nFile Copy: readme.txt\r\nMake Dir: Samples\r\n"
                  "File Copy: Samples\\*.txt\r\nFile Copy: ..\\outside.txt\r\nFile Copy: a > " + m_root / "outside.txt" +
                      "\r\nMade Dir: " + m_root / "Programs\\Glimmerix 6 Pro" +
                      "\r\nShell Link: " + m_root / "Programs\\Glimmerix 6 Pro\\Glimmerix 6.lnk" +
                      "\r\nShell Link: " + m_root / "Desktop\\Glimmerix 6.lnk" +
                      "\r\nShell Link: " + m_root / "Desktop\\notes.txt" + "\r\n");
    SetFileAttributesA((Folder() + "OrvUnInst.log").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    RunUninstall(Folder().c_str());
    for (const char* gone : {"Glimmerix 6\\Glimcap6.exe", "Glimmerix 6\\readme.txt", "Glimmerix 6\\Samples",
                             "Glimmerix 6\\OrvUnInst.log", "Programs\\Glimmerix 6 Pro", "Desktop\\Glimmerix 6.lnk"})
        EXPECT_FALSE(Exists(gone)) << gone;
    for (const char* kept : {"Glimmerix 6\\my notes.txt", "Glimmerix 6\\install.log", "Programs\\Other\\keep.lnk",
                             "outside.txt", "Desktop\\notes.txt"})
        EXPECT_TRUE(Exists(kept)) << kept;
}

// "install.log" goes only when a record names it; then the folder goes too. Its
// records are replayed before those of "OrvUnInst.log".
TEST_F(UninstallRun, FolderGoesWhenTheLogsEmptiedIt)
{
    File("Glimmerix 6\\Glimcap6.exe");
    File("Glimmerix 6\\old.dll", FILE_ATTRIBUTE_HIDDEN);
    // A log cannot delete itself while it is read: "OrvUnInst.log" names "install.log".
    WriteTextFile(Folder() + "install.log", "File Copy: old.dll\r\n");
    WriteTextFile(Folder() + "OrvUnInst.log", "File Copy: Glimcap6.exe\r\nFile Del: install.log\r\n");
    RunUninstall(Folder().c_str());
    EXPECT_FALSE(Exists("Glimmerix 6"));
}

// Shortcuts and groups of the default name in the all-users folders and in the
// folders of every user hive, whatever their target; other names are kept.
TEST_F(UninstallRun, DefaultShortcutsOfEveryProfileGo)
{
    const struct {
        HKEY root;
        std::string key;
        const char* startup;
        const char* desktop;
        const char* programs;
        std::string profile;
    } profiles[] = {
        {HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", "Common Desktop", "Common Programs", "All"},
        {HKEY_USERS, std::string("S-1-5-21-1\\") + kShellFolders, "Startup", "Desktop", "Programs", "UserA"},
        {HKEY_USERS, std::string("S-1-5-21-2\\") + kShellFolders, "Startup", "Desktop", "Programs", "UserB"},
    };
    for (const auto& p : profiles) {
        SetRegistryString(p.root, p.key, p.startup, m_root / (p.profile + "\\Startup"));
        SetRegistryString(p.root, p.key, p.desktop, m_root / (p.profile + "\\Desktop"));
        SetRegistryString(p.root, p.key, p.programs, m_root / (p.profile + "\\Programs"));
        for (const char* name : {"\\Startup\\Glimmerix 6.lnk", "\\Desktop\\Glimmerix 6.lnk", "\\Desktop\\Other.lnk",
                                 "\\Programs\\Glimmerix 6\\Glimmerix 6.lnk", "\\Programs\\Glimmerix 6\\user.txt",
                                 "\\Programs\\Glimmerix 6 Old\\Glimmerix 6.lnk"})
            File(p.profile + name);
        SetFileAttributesA((m_root / (p.profile + "\\Programs\\Glimmerix 6\\user.txt")).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    File("UserB\\Programs\\Glimmerix 6\\Sub\\kept.lnk");  // a subfolder keeps the group
    RunUninstall(Folder().c_str());
    for (const auto& p : profiles) {
        EXPECT_FALSE(Exists(p.profile + "\\Startup\\Glimmerix 6.lnk")) << p.profile;
        EXPECT_FALSE(Exists(p.profile + "\\Desktop\\Glimmerix 6.lnk")) << p.profile;
        EXPECT_FALSE(Exists(p.profile + "\\Programs\\Glimmerix 6\\user.txt")) << p.profile;
        EXPECT_TRUE(Exists(p.profile + "\\Desktop\\Other.lnk")) << p.profile;
        EXPECT_TRUE(Exists(p.profile + "\\Programs\\Glimmerix 6 Old\\Glimmerix 6.lnk")) << p.profile;
    }
    EXPECT_FALSE(Exists("All\\Programs\\Glimmerix 6"));
    EXPECT_FALSE(Exists("UserA\\Programs\\Glimmerix 6"));
    EXPECT_TRUE(Exists("UserB\\Programs\\Glimmerix 6\\Sub\\kept.lnk"));
}

// A shell folder whose joined path would pass 259 characters is skipped: what a
// shortened path would name stays.
TEST_F(UninstallRun, OverlongShellFolderPathsAreSkipped)
{
    // 244 characters: with "\Glimmerix 6.lnk" 260.
    const std::string desktop = m_root / std::string(244 - m_root.Path().size() - 1, 'd');
    CreateDirectoryA(desktop.c_str(), nullptr);
    for (const char* cut : {"\\Glimmerix 6.ln", "\\Glimmerix 6"}) {
        WriteTextFile(desktop + cut, "x");
        ASSERT_TRUE(FileExists(desktop + cut));
    }
    SetRegistryString(HKEY_LOCAL_MACHINE, kShellFolders, "Common Desktop", desktop);
    SetRegistryString(HKEY_USERS, std::string("S-1-5-21-1\\") + kShellFolders, "Startup", desktop);
    RunUninstall(Folder().c_str());
    EXPECT_TRUE(FileExists(desktop + "\\Glimmerix 6.ln"));
    EXPECT_TRUE(FileExists(desktop + "\\Glimmerix 6"));
}

// An install folder so long that "OrvUnInst.log" no longer fits: that log is
// neither replayed nor deleted under a shortened name; "install.log" still is.
TEST_F(UninstallRun, OverlongLogPathIsSkipped)
{
    const std::string folder = m_root / std::string(246 - m_root.Path().size() - 1, 'f') + "\\";  // 247 characters
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteTextFile(folder + "install.log", "File Copy: a.txt\r\nFile Copy: OrvUnInst.lo\r\n");
    WriteTextFile(folder + "a.txt", "x");
    WriteTextFile(folder + "OrvUnInst.lo", "File Copy: b.txt\r\n");  // what a cut path would name
    WriteTextFile(folder + "b.txt", "x");
    ASSERT_EQ(folder.size() + 13, 260u);
    RunUninstall(folder.c_str());
    EXPECT_FALSE(FileExists(folder + "a.txt"));
    EXPECT_TRUE(FileExists(folder + "b.txt"));
}
}  // namespace
