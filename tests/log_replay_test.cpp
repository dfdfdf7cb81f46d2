// Undoing what an install log records: shortcuts before folder walks, every file
// kind, read-only and hidden files, and the records a tampered log may hold.
#include <gtest/gtest.h>

#include <string>

#include "../install/log_format.h"
#include "../uninstall/log_replay.h"
#include "scratch.h"

namespace {
class ReplayTest : public ::testing::Test {
protected:
    void SetUp() override { CreateDirectoryA(m_folder.c_str(), nullptr); }
    // A file under the scratch root, its folders made first.
    void File(const std::string& relative, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
    {
        for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1))
            CreateDirectoryA((m_root / relative.substr(0, at)).c_str(), nullptr);
        WriteTextFile(m_root / relative, "x");
        SetFileAttributesA((m_root / relative).c_str(), attributes);
    }
    void Folder(const std::string& relative) { CreateDirectoryA((m_root / relative).c_str(), nullptr); }
    std::string Log(const std::string& records)
    {
        WriteTextFile(m_root / "OrvUnInst.log", records);
        return m_root / "OrvUnInst.log";
    }
    bool Exists(const std::string& relative) const
    {
        return GetFileAttributesA((m_root / relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    ScratchFolder m_root;
    std::string m_folder = m_root / "app";  // the install folder
};

// The install log has its shortcut records after the group's "Made Dir: " record:
// the shortcuts still go first, so the emptied group goes with its empty parents.
TEST_F(ReplayTest, ShortcutsGoBeforeMadeDirWalks)
{
    File("P\\other.txt");
    File("P\\Grp\\Sub\\Glimmerix 6.lnk");
    File("Desktop\\Glimmerix 6.lnk");
    RemoveLinksAndMadeDirs(Log("File Copy: a.txt\r\nMade Dir: " + m_root / "P\\Grp\\Sub" +
                               "\r\nShell Link: " + m_root / "P\\Grp\\Sub\\Glimmerix 6.lnk" +
                               "\r\nShell Link: " + m_root / "Desktop\\Glimmerix 6.lnk\r\n").c_str());
    EXPECT_FALSE(Exists("P\\Grp"));
    EXPECT_FALSE(Exists("Desktop\\Glimmerix 6.lnk"));
    EXPECT_TRUE(Exists("P\\other.txt")) << "the walk stops at the first folder that is not empty";
    EXPECT_TRUE(Exists("Desktop"));
}

// The installer records nothing but shortcuts as "Shell Link: ".
TEST_F(ReplayTest, ShellLinkDeletesOnlyShortcutFiles)
{
    for (const char* name : {"a.lnk", "b.LNK", "c.Lnk", "important.txt", "d.lnk.txt", "lnk", "e.lnkx"}) File(name);
    std::string log;
    for (const char* name : {"a.lnk", "b.LNK", "c.Lnk", "important.txt", "d.lnk.txt", "lnk", "e.lnkx", "*.lnk"})
        log += "Shell Link: " + m_root / name + "\r\n";
    RemoveLinksAndMadeDirs(Log(log).c_str());
    for (const char* gone : {"a.lnk", "b.LNK", "c.Lnk"}) EXPECT_FALSE(Exists(gone)) << gone;
    for (const char* kept : {"important.txt", "d.lnk.txt", "lnk", "e.lnkx"}) EXPECT_TRUE(Exists(kept)) << kept;
}

TEST_F(ReplayTest, EveryFileKindIsDeletedBeforeMakeDirFolders)
{
    const std::string log =
        "Make Dir: help\r\n"
        "Make Dir: bin\r\n"
        "Make Dir: kept\r\n"
        "File Copy: app.exe > bin\\tool.exe | note\r\n"
        "File Copy: *.dll\r\n"
        "File Copy: help\\*.chm\r\n"
        "File Copy x64: x64.bin\r\n"
        "File Copy ind: codec.ocx\r\n"
        "File Overwrite: over.txt\r\n"
        "File Del: del.txt\r\n"
        "File Copy: notes.txt | for translators\r\n";
    for (const std::string& folder : {m_folder, m_folder + "\\"}) {
        File("app\\app.exe");
        File("app\\bin\\tool.exe", FILE_ATTRIBUTE_READONLY);
        File("app\\a.dll", FILE_ATTRIBUTE_HIDDEN);
        File("app\\b.dll", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
        File("app\\kept\\c.dll");
        File("app\\help\\a.chm");
        File("app\\help\\b.chm", FILE_ATTRIBUTE_READONLY);
        for (const char* name : {"x64.bin", "codec.ocx", "over.txt", "del.txt", "notes.txt"})
            File(std::string("app\\") + name);
        RemoveFilesAndMakeDirs(Log(log).c_str(), folder.c_str());
        EXPECT_TRUE(Exists("app\\app.exe")) << "the source of a renamed file is not its name in the folder";
        EXPECT_TRUE(Exists("app\\kept\\c.dll")) << "*.dll reaches into no subfolder";
        for (const char* gone : {"app\\bin", "app\\help", "app\\a.dll", "app\\b.dll", "app\\x64.bin",
                                 "app\\codec.ocx", "app\\over.txt", "app\\del.txt", "app\\notes.txt"})
            EXPECT_FALSE(Exists(gone)) << gone << " in " << folder;
    }
}

TEST_F(ReplayTest, SingleKindActsOnItsRecordsOnly)
{
    File("app\\copied.txt");
    File("app\\deleted.txt");
    Folder("app\\empty");
    RemoveFilesAndMakeDirs(Log("File Copy: copied.txt\r\nFile Del: deleted.txt\r\nMake Dir: empty\r\n").c_str(),
                           m_folder.c_str(), kFileDel);
    EXPECT_TRUE(Exists("app\\copied.txt"));
    EXPECT_FALSE(Exists("app\\deleted.txt"));
    EXPECT_FALSE(Exists("app\\empty"));
}

// A log may be written by others: its file records never reach outside the
// install folder, and an empty target never stands for the folder itself.
TEST_F(ReplayTest, RefusedRecordsDeleteNothing)
{
    File("secret.txt");
    File("app\\a.txt");
    Folder("outside");
    const std::string records[] = {
        "File Copy: ..\\secret.txt",
        "File Del: a.txt > ..\\secret.txt",
        "File Del: ..\\secret.txt > a.txt",
        "File Copy: sub\\..\\..\\*.txt",
        "File Overwrite: " + m_root / "secret.txt",
        "File Copy x64: \\\\glxserver\\share\\secret.txt",
        "File Copy: a.txt >",
        "File Copy: a.txt > | note",
        "File Copy: *.txt >",
        "Make Dir: ..\\outside",
    };
    for (const std::string& record : records) {
        RemoveFilesAndMakeDirs(Log(record + "\r\n").c_str(), m_folder.c_str());
        EXPECT_TRUE(Exists("secret.txt")) << record;
        EXPECT_TRUE(Exists("app\\a.txt")) << record;
        EXPECT_TRUE(Exists("outside")) << record;
    }
}

TEST_F(ReplayTest, MatchingFoldersArePassedOver)
{
    File("app\\data\\inner.txt");
    SetFileAttributesA((m_folder + "\\data").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    File("app\\file.txt", FILE_ATTRIBUTE_HIDDEN);
    DeleteMatchingFiles(m_folder.c_str(), "*");
    EXPECT_FALSE(Exists("app\\file.txt"));
    EXPECT_TRUE(Exists("app\\data\\inner.txt"));
    EXPECT_TRUE(GetFileAttributesA((m_folder + "\\data").c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// A joined path over the limit is skipped: never shortened to one that exists.
TEST_F(ReplayTest, OverlongPathsAreSkipped)
{
    std::string name(258 - m_folder.size(), 'n');  // folder\name is 259 characters
    File("app\\" + name);
    Folder("app\\" + name.substr(0, name.size() - 2));
    RemoveFilesAndMakeDirs(Log("File Del: " + name + "x\r\nFile Del: " + name + "?\r\n").c_str(), m_folder.c_str());
    EXPECT_TRUE(Exists("app\\" + name));
    RemoveLinksAndMadeDirs(Log("Made Dir: " + m_folder + "\\" + name.substr(0, name.size() - 2) + "xyz\r\n").c_str());
    EXPECT_TRUE(Exists("app\\" + name.substr(0, name.size() - 2)));
    RemoveFilesAndMakeDirs(Log("File Del: " + name + "\r\n").c_str(), m_folder.c_str());
    EXPECT_FALSE(Exists("app\\" + name)) << "a path of 259 characters fits";
}

TEST_F(ReplayTest, MissingLogDoesNothing)
{
    File("app\\a.txt");
    RemoveLinksAndMadeDirs((m_root / "missing.log").c_str());
    RemoveFilesAndMakeDirs((m_root / "missing.log").c_str(), m_folder.c_str());
    EXPECT_TRUE(Exists("app\\a.txt"));
}
}  // namespace
