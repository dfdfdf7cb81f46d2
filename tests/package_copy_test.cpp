// Copying the package as its manifest says: every record kind, wildcards into
// subfolders, x64 and library records, where a walk stops, and the records and
// folders that must never be acted on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../app/setup_state.h"
#include "../install/package_copy.h"
#include "paths.h"
#include "processes.h"
#include "scratch.h"

namespace {
// A package folder and a destination folder that does not exist yet, set as the
// setup state's folders for the test.
class PackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedSource = g_strSourceDir;
        m_savedInstall = g_strInstallDir;
        m_savedIsWow64 = g_pfnIsWow64Process;
        CreateDirectoryA(m_package.c_str(), nullptr);
        g_strSourceDir = m_package.c_str();
        g_strInstallDir = m_dest.c_str();
    }
    void TearDown() override
    {
        g_strSourceDir = m_savedSource;
        g_strInstallDir = m_savedInstall;
        g_pfnIsWow64Process = m_savedIsWow64;
    }
    void Package(const std::string& name, const std::string& content = "data")
    {
        WriteTextFile(m_package + "\\" + name, content);
    }
    void Manifest(const std::string& records)
    {
        Package("OrvUnInst.log", records);
        ProcessManifest((m_package + "\\OrvUnInst.log").c_str());
    }
    std::string Dest(const std::string& name) const { return m_dest + "\\" + name; }

    ScratchFolder m_root;
    std::string m_package = m_root / "package";
    std::string m_dest = m_root / "dest";
    CString m_savedSource;
    CString m_savedInstall;
    PFN_ISWOW64PROCESS m_savedIsWow64 = nullptr;
};

// This Wine prefix is 64-bit, so the 32-bit tests run under WoW64; without the
// system routine the process counts as 32-bit Windows.
TEST_F(PackageTest, ManifestWithEveryRecordKind)
{
    ASSERT_TRUE(IsRunningUnderWow64());
    Package("Glimcap6.exe", "program");
    Package("readme.txt", "readme");
    CreateDirectoryA((m_package + "\\help").c_str(), nullptr);
    Package("help\\a.chm", "a");
    Package("help\\b.chm", "b");
    Package("help\\c.txt", "c");
    Package("base.dll", "32-bit");
    CreateDirectoryA((m_package + "\\x64").c_str(), nullptr);
    Package("x64\\base.dll", "64-bit");
    Package("msimg32.dll", "the system has its own");
    Package("glxcodec.dll", "codec");
    Package("glxfilter.dll", "filter");
    Package("old.txt", "old");
    Package("notes.txt", "notes");
    const std::string manifest =
        "; Glimmerix 6\r\n"
        "File Copy: Glimcap6.exe\r\n"
        "Make Dir: help\r\n"
        "File Copy: help\\*.chm\r\n"
        "File Copy: readme.txt  >  Read Me.txt\r\n"
        "File Copy: base.dll\r\n"
        "File Copy x64: x64\\base.dll > base.dll\r\n"
        "File Copy ind: msimg32.dll\r\n"
        "File Copy ind: glxcodec.dll > codec.dll\r\n"
        "File Copy ind: glxfilter.dll\r\n"
        "File Overwrite: old.txt\r\n"
        "File Del: old.txt\r\n"
        "Made Dir: " + m_root / "made" + "\r\n"
        "Shell Link: " + m_root / "x.lnk" + "\r\n"
        "File Copy: notes.txt | the bar cannot stand in a file name\r\n";

    struct {
        bool wow64;
        const char* base;
    } cases[] = {{true, "64-bit"}, {false, "32-bit"}};
    for (const auto& c : cases) {
        if (!c.wow64) g_pfnIsWow64Process = nullptr;
        Manifest(manifest);
        EXPECT_EQ(ReadTextFile(Dest("base.dll")), c.base) << "a later x64 record replaces the earlier copy";
        EXPECT_EQ(ReadTextFile(Dest("Glimcap6.exe")), "program");
        EXPECT_EQ(ReadTextFile(Dest("help\\a.chm")), "a");
        EXPECT_EQ(ReadTextFile(Dest("help\\b.chm")), "b");
        EXPECT_FALSE(FileExists(Dest("help\\c.txt")));
        EXPECT_EQ(ReadTextFile(Dest("Read Me.txt")), "readme");
        EXPECT_FALSE(FileExists(Dest("msimg32.dll"))) << "the system's library stands in for it";
        EXPECT_EQ(ReadTextFile(Dest("codec.dll")), "codec");
        EXPECT_EQ(ReadTextFile(Dest("glxfilter.dll")), "filter");
        EXPECT_FALSE(FileExists(Dest("old.txt")));
        EXPECT_FALSE(FileExists(Dest("notes.txt")));
        EXPECT_FALSE(FolderExists(m_root / "made"));
        // The parked library copies are back under their names.
        EXPECT_TRUE(FileExists(m_package + "\\msimg32.dll"));
        EXPECT_TRUE(FileExists(m_package + "\\glxcodec.dll"));
        EXPECT_FALSE(FileExists(m_package + "\\msimg32.dll.toinst"));
        DeleteTree(m_dest);
    }
}

TEST_F(PackageTest, WildcardRecordStopsAtItsFirstFailedCopy)
{
    for (const char* name : {"a.dat", "b.dat", "c.dat"}) Package(name);
    Package("next.txt");
    // The order of the system's search decides which matches come before the failure.
    std::vector<std::string> order;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_package + "\\*.dat").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do order.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    ASSERT_EQ(order.size(), 3u);
    // A folder in the destination under the second match's name fails its copy.
    CreateDirectoryA(m_dest.c_str(), nullptr);
    CreateDirectoryA(Dest(order[1]).c_str(), nullptr);

    Manifest("File Copy: *.dat\r\nFile Copy: next.txt\r\n");
    EXPECT_TRUE(FileExists(Dest(order[0])));
    EXPECT_TRUE(FolderExists(Dest(order[1])));
    EXPECT_FALSE(FileExists(Dest(order[2])));
    EXPECT_TRUE(FileExists(Dest("next.txt"))) << "the next record is processed as usual";
    EXPECT_EQ(CopyMatchingFiles("*.dat", m_dest.c_str(), m_package.c_str()), 1);
}

// A walk into an empty folder copies every file; a walk into a folder that holds
// one of its files open elsewhere still finds that file and leaves the new one
// beside it as ".new" for the next start of Windows.
TEST_F(PackageTest, WildcardWalkIntoEmptyAndFilledFolders)
{
    for (const char* folder : {"\\lib", "\\lib2"}) {
        CreateDirectoryA((m_package + folder).c_str(), nullptr);
        for (const char* name : {"\\a.dll", "\\b.dll"}) WriteTextFile(m_package + folder + name, name);
    }
    CreateDirectoryA(m_dest.c_str(), nullptr);
    CreateDirectoryA(Dest("lib").c_str(), nullptr);
    CreateDirectoryA(Dest("lib2").c_str(), nullptr);
    WriteTextFile(Dest("lib2\\b.dll"), "old");
    const std::string ready = m_root / "ready";
    ChildProcess holder(Quote(HelperExe("file_holder")) + " " + Quote(Dest("lib2\\b.dll")) + " " + Quote(ready));
    ASSERT_TRUE(WaitUntil([&] { return FileExists(ready); }));

    EXPECT_EQ(CopyMatchingFiles("lib\\*.dll", m_dest.c_str(), m_package.c_str()), 2);
    EXPECT_EQ(ReadTextFile(Dest("lib\\a.dll")), "\\a.dll");
    EXPECT_EQ(ReadTextFile(Dest("lib\\b.dll")), "\\b.dll");
    CopyMatchingFiles("lib2\\*.dll", m_dest.c_str(), m_package.c_str());
    EXPECT_EQ(ReadTextFile(Dest("lib2\\b.dll.new")), "\\b.dll");
}

TEST_F(PackageTest, MatchingFoldersArePassedOver)
{
    Package("one.dat");
    CreateDirectoryA((m_package + "\\folder.dat").c_str(), nullptr);
    Package("folder.dat\\inner.txt");
    Package("two.dat");
    EXPECT_EQ(CopyMatchingFiles("*.dat", m_dest.c_str(), m_package.c_str()), 2);
    EXPECT_TRUE(FileExists(Dest("one.dat")));
    EXPECT_TRUE(FileExists(Dest("two.dat")));
    EXPECT_FALSE(FileExists(Dest("folder.dat")) || FolderExists(Dest("folder.dat")));
}

TEST_F(PackageTest, DestinationAndMissingParentsAreCreated)
{
    Package("a.txt");
    std::string deep = m_root / "x\\y\\z";
    std::string slashed = deep;
    for (char& c : slashed)
        if (c == '\\') c = '/';
    for (const std::string& dest : {deep, deep + "\\", slashed}) {
        EXPECT_EQ(CopyMatchingFiles("a.txt", dest.c_str(), m_package.c_str()), 1) << dest;
        EXPECT_TRUE(FileExists(deep + "\\a.txt")) << dest;
        DeleteTree(m_root / "x");
    }
    EXPECT_EQ(CopyMatchingFiles("*.none", deep.c_str(), m_package.c_str()), 0);
    EXPECT_FALSE(FolderExists(m_root / "x")) << "nothing matched, nothing created";
}

// Without the share's "\\" the parents of \\server\share\app would be made as the
// relative path server\share\app under the current folder.
TEST_F(PackageTest, NetworkDestinationIsNotMadeRelative)
{
    Package("a.txt");
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA(m_root.Path().c_str());
    CopyMatchingFiles("a.txt", "\\\\glxserver\\share\\app\\sub", m_package.c_str());
    SetCurrentDirectoryA(saved);
    EXPECT_FALSE(FolderExists(m_root / "glxserver"));
    EXPECT_FALSE(FolderExists(m_root / "share"));
}

TEST_F(PackageTest, SubfoldersNeedTheirMakeDirRecords)
{
    CreateDirectoryA((m_package + "\\help").c_str(), nullptr);
    Package("help\\a.chm");
    Package("top.txt");
    CreateDirectoryA((m_package + "\\one").c_str(), nullptr);
    Manifest("File Copy: top.txt\r\nFile Copy: help\\*.chm\r\nMake Dir: one\\two\r\n");
    EXPECT_TRUE(FileExists(Dest("top.txt")));
    EXPECT_FALSE(FolderExists(Dest("help")));
    EXPECT_FALSE(FolderExists(Dest("one"))) << "a two-level Make Dir creates nothing";
}

// The installer never writes outside the destination folder and never makes the
// folder itself a target; a refused record is passed over.
TEST_F(PackageTest, RefusedRecordsTouchNothing)
{
    WriteTextFile(m_root / "secret.txt", "keep");
    Package("a.txt", "package");
    CreateDirectoryA(m_dest.c_str(), nullptr);
    WriteTextFile(Dest("present.txt"), "kept");
    const std::string records[] = {
        "File Copy: ..\\secret.txt",
        "File Copy: a.txt > ..\\escaped.txt",
        "File Copy: a.txt > sub\\..\\..\\escaped.txt",
        "File Copy: a.txt > " + m_root / "absolute.txt",
        "File Copy: " + m_package + "\\a.txt",
        "File Copy: a.txt >",
        "File Copy: a.txt >   ",
        "File Copy ind: ..\\secret.txt",
        "File Copy x64: a.txt > \\\\glxserver\\share\\a.txt",
        "Make Dir: ..\\escaped",
    };
    for (const std::string& record : records) {
        Manifest(record + "\r\n");
        EXPECT_EQ(ReadTextFile(m_root / "secret.txt"), "keep") << record;
        EXPECT_FALSE(FileExists(m_root / "escaped.txt") || FolderExists(m_root / "escaped")) << record;
        EXPECT_FALSE(FileExists(m_root / "absolute.txt")) << record;
        EXPECT_EQ(ReadTextFile(Dest("present.txt")), "kept") << record;
        EXPECT_FALSE(FileExists(Dest("a.txt")) || FileExists(Dest("secret.txt"))) << record;
    }
}

// A name that would make a path over the limit is skipped, never shortened.
TEST_F(PackageTest, OverlongTargetIsSkipped)
{
    std::string name(200, 'n');
    Package(name);
    std::string dest = m_root / std::string(257 - m_root.Path().size() - name.size(), 'd');
    ASSERT_EQ(dest.size() + 1 + name.size(), 259u);
    EXPECT_EQ(CopyMatchingFiles(name.c_str(), dest.c_str(), m_package.c_str()), 1);
    std::string longer = dest + "e";
    EXPECT_EQ(CopyMatchingFiles(name.c_str(), longer.c_str(), m_package.c_str()), 0);
    EXPECT_FALSE(FileExists(longer + "\\" + name));
    EXPECT_FALSE(FileExists(longer + "\\" + name.substr(0, name.size() - 1)));
}

TEST(FolderNames, Normalized)
{
    struct {
        const char* text;
        const char* normalized;
    } cases[] = {
        {"Glimmerix 6", "Glimmerix 6"},
        {"Orvandelsys/Glimmerix 6", "Orvandelsys\\Glimmerix 6"},
        {" \t\\/Group\\ \r\n", "Group"},
        {"/a/b/", "a\\b"},
        {"\\\\\\", ""},
        {"", ""},
        {"a  \\  b", "a  \\  b"},
    };
    for (const auto& c : cases) {
        CString text(c.text);
        NormalizeFolderName(text);
        EXPECT_EQ(std::string(text), c.normalized) << c.text;
    }
}
}  // namespace
