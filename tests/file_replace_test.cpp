// Putting a file in place in each state of its lifecycle, with real causes: a
// target held open without sharing, a running executable, a leftover ".old" still
// in use; the deferred operations, their WININIT.INI fallback, and a restart.
#include <gtest/gtest.h>

#include <aclapi.h>

#include <string>
#include <utility>
#include <vector>

#include "../install/file_replace.h"
#include "paths.h"
#include "processes.h"
#include "scratch.h"

namespace {
using Operation = std::pair<std::string, std::string>;  // (path, new path); "" deletes

// The system's pending list, as MoveFileEx keeps it under the real HKLM.
std::vector<Operation> PendingOperations()
{
    const char* key = "System\\CurrentControlSet\\Control\\Session Manager";
    DWORD size = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return {};
    std::vector<char> data(size + 2, 0);
    RegGetValueA(HKEY_LOCAL_MACHINE, key, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, data.data(),
                 &size);
    // A deletion's new path is an empty string inside the list: walk by size.
    std::vector<std::string> names;
    for (const char* p = data.data(); p < data.data() + size; p += names.back().size() + 1) names.push_back(p);
    std::vector<Operation> operations;
    auto plain = [](std::string name) { return name.rfind("\\??\\", 0) == 0 ? name.substr(4) : name; };
    for (size_t i = 0; i + 1 < names.size(); i += 2) operations.emplace_back(plain(names[i]), plain(names[i + 1]));
    return operations;
}

// The position of the last such operation in the pending list, -1 if none.
int PendingIndex(const std::string& path, const std::string& newPath = std::string())
{
    std::vector<Operation> operations = PendingOperations();
    for (int i = static_cast<int>(operations.size()) - 1; i >= 0; --i)
        if (operations[i] == Operation(path, newPath)) return i;
    return -1;
}

int PendingCount(const std::string& path)
{
    int count = 0;
    for (const Operation& operation : PendingOperations()) count += operation == Operation(path, "");
    return count;
}

std::vector<std::string> RenameSection()
{
    char section[32768];
    DWORD used = GetPrivateProfileSectionA("rename", section, sizeof section, "WININIT.INI");
    std::vector<std::string> entries;
    for (const char* p = section; p < section + used && *p; p += entries.back().size() + 1) entries.push_back(p);
    return entries;
}

// Keeps the prefix's WININIT.INI as it was; the profile cache is flushed around
// each change made behind the profile functions' back.
class WininitFile {
public:
    WininitFile()
    {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        m_path = std::string(windows) + "\\wininit.ini";
        m_existed = FileExists(m_path);
        m_content = ReadTextFile(m_path);
    }
    ~WininitFile()
    {
        if (m_existed) WriteTextFile(m_path, m_content);
        else DeleteFileA(m_path.c_str());
        Flush();
    }
    void Write(const std::string& content)
    {
        WriteTextFile(m_path, content);
        Flush();
    }
    std::string Read() const { return ReadTextFile(m_path); }
    static void Flush() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, "WININIT.INI"); }

private:
    std::string m_path;
    std::string m_content;
    bool m_existed;
};

// Makes MoveFileEx fail as it does where the pending list cannot be written: the
// Session Manager key is made read-only for everyone, and its DACL put back after.
class ReadOnlyPendingList {
public:
    ReadOnlyPendingList()
    {
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                      READ_CONTROL | WRITE_DAC, &m_key);
        GetSecurityInfo(m_key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &m_dacl, nullptr,
                        &m_saved);
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &m_everyone);
        PACL acl = reinterpret_cast<PACL>(m_acl);
        InitializeAcl(acl, sizeof m_acl, ACL_REVISION);
        AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, m_everyone);
        SECURITY_DESCRIPTOR descriptor;
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
        m_denied = RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
    }
    ~ReadOnlyPendingList()
    {
        SetSecurityInfo(m_key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, m_dacl, nullptr);
        LocalFree(m_saved);
        FreeSid(m_everyone);
        RegCloseKey(m_key);
    }
    bool Denied() const { return m_denied; }

private:
    HKEY m_key = nullptr;
    PACL m_dacl = nullptr;
    PSECURITY_DESCRIPTOR m_saved = nullptr;
    PSID m_everyone = nullptr;
    alignas(DWORD) BYTE m_acl[256];
    bool m_denied = false;
};

class InstallFileTest : public ::testing::Test {
protected:
    void SetUp() override { WriteTextFile(m_source / "app.bin", "new"); }
    BOOL Install(const char* newName = nullptr, const char* name = "app.bin")
    {
        return InstallFile(name, m_source.Path().c_str(), m_dest.Path().c_str(), newName);
    }
    // Holds path open without sharing, as another program may.
    ChildProcess Hold(const std::string& path)
    {
        std::string ready = m_source / "held.ready";
        ChildProcess holder(Quote(HelperExe("file_holder")) + " " + Quote(path) + " " + Quote(ready));
        EXPECT_TRUE(WaitUntil([&] { return FileExists(ready); }));
        return holder;
    }
    // Starts the executable at path and waits until it runs: its image is in use.
    ChildProcess Run(const std::string& path)
    {
        ChildProcess program(Quote(path));
        EXPECT_EQ(WaitForInputIdle(program.Handle(), 20000), 0u);
        return program;
    }

    ScratchFolder m_source;
    ScratchFolder m_dest;
    std::string m_target = m_dest / "app.bin";
};

TEST_F(InstallFileTest, CopiesIntoAFreeTarget)
{
    EXPECT_TRUE(Install());
    EXPECT_EQ(ReadTextFile(m_target), "new");
    EXPECT_TRUE(Install("renamed.bin"));
    EXPECT_EQ(ReadTextFile(m_dest / "renamed.bin"), "new");
}

TEST_F(InstallFileTest, ReplacesReadOnlyAndHiddenTargets)
{
    for (DWORD attributes : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN,
                             FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}) {
        WriteTextFile(m_target, "old");
        SetFileAttributesA(m_target.c_str(), attributes);
        EXPECT_TRUE(Install()) << attributes;
        EXPECT_EQ(ReadTextFile(m_target), "new") << attributes;
        EXPECT_FALSE(FileExists(m_target + ".old")) << attributes;
        SetFileAttributesA(m_target.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(InstallFileTest, MissingSourceTouchesNothing)
{
    WriteTextFile(m_target, "old");
    EXPECT_FALSE(Install(nullptr, "absent.bin"));
    EXPECT_FALSE(Install("app.bin", "absent.bin"));
    EXPECT_EQ(ReadTextFile(m_target), "old");
}

TEST_F(InstallFileTest, SameFolderWithoutNewNameIsAlreadyInPlace)
{
    std::string folder = m_source.Path();
    std::string upper = folder;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    for (const std::string& dest : {folder, folder + "\\", upper, upper + "/"}) {
        EXPECT_TRUE(InstallFile("app.bin", folder.c_str(), dest.c_str())) << dest;
        EXPECT_TRUE(InstallFile("absent.bin", folder.c_str(), dest.c_str())) << dest;
    }
    EXPECT_EQ(ReadTextFile(m_source / "app.bin"), "new");
    // With a new name the copy is made beside it, replacing what has that name.
    WriteTextFile(m_source / "copy.bin", "old");
    EXPECT_TRUE(InstallFile("app.bin", folder.c_str(), (folder + "\\").c_str(), "copy.bin"));
    EXPECT_EQ(ReadTextFile(m_source / "copy.bin"), "new");
}

TEST_F(InstallFileTest, NeverTargetsAFolder)
{
    CreateDirectoryA(m_target.c_str(), nullptr);
    WriteTextFile(m_target + "\\inside.txt", "kept");
    size_t pending = PendingOperations().size();
    EXPECT_FALSE(Install());
    EXPECT_FALSE(Install(""));  // a record with nothing after its '>'
    EXPECT_EQ(ReadTextFile(m_target + "\\inside.txt"), "kept");
    EXPECT_FALSE(FolderExists(m_target + ".old"));
    EXPECT_EQ(PendingOperations().size(), pending);
}

TEST_F(InstallFileTest, TargetHeldWithoutSharingWaitsAsNew)
{
    WriteTextFile(m_target, "old");
    ChildProcess holder = Hold(m_target);
    EXPECT_FALSE(Install());
    EXPECT_EQ(ReadTextFile(m_target + ".new"), "new");
    EXPECT_FALSE(FileExists(m_target + ".old"));
    int deletion = PendingIndex(m_target);
    int rename = PendingIndex(m_target + ".new", m_target);
    EXPECT_GE(deletion, 0);
    EXPECT_EQ(rename, deletion + 1) << "the target goes first, then the new file takes its name";
}

TEST_F(InstallFileTest, RunningExecutableIsMovedAside)
{
    std::string target = m_dest / "Glimcap6.exe";
    CopyFileA(ProductExe().c_str(), target.c_str(), FALSE);
    WriteTextFile(m_source / "Glimcap6.exe", "new build");
    ChildProcess product = Run(target);
    ASSERT_FALSE(DeleteFileA(target.c_str())) << "a running image cannot be deleted";

    EXPECT_TRUE(Install(nullptr, "Glimcap6.exe"));
    EXPECT_EQ(ReadTextFile(target), "new build");
    EXPECT_TRUE(FileExists(target + ".old"));
    EXPECT_GE(PendingIndex(target + ".old"), 0);
    EXPECT_LT(PendingIndex(target), 0);
}

TEST_F(InstallFileTest, OldStillInUseGivesOld2)
{
    std::string target = m_dest / "Glimcap6.exe";
    CopyFileA(ProductExe().c_str(), target.c_str(), FALSE);
    CopyFileA(ProductExe().c_str(), (m_source / "Glimcap6.exe").c_str(), FALSE);
    ChildProcess first = Run(target);
    ASSERT_TRUE(Install(nullptr, "Glimcap6.exe"));  // the running image is now Glimcap6.exe.old
    ChildProcess second = Run(target);
    int oldDeletions = PendingCount(target + ".old");

    EXPECT_TRUE(Install(nullptr, "Glimcap6.exe"));
    EXPECT_TRUE(FileExists(target + ".old"));
    EXPECT_TRUE(FileExists(target + ".old2"));
    EXPECT_TRUE(FileExists(target));
    EXPECT_EQ(PendingCount(target + ".old"), oldDeletions + 1);
    EXPECT_GT(PendingIndex(target + ".old2"), PendingIndex(target + ".old"));
}

TEST(DeferredOperations, GoToTheSystemListEvenUnderAScratchRegistry)
{
    ScratchFolder folder;
    WininitFile wininit;
    wininit.Write("");
    std::string doomed = folder / "doomed.tmp";
    std::string from = folder / "from.tmp";
    std::string to = folder / "to.tmp";
    {
        // MoveFileEx writes the real HKLM: the scratch registry does not catch it.
        ScratchRegistry registry;
        EXPECT_TRUE(ScheduleDeleteAtReboot(doomed.c_str()));
        ScheduleRenameAtReboot(from.c_str(), to.c_str());
    }
    EXPECT_GE(PendingIndex(doomed), 0);
    EXPECT_GE(PendingIndex(from, to), 0);
    EXPECT_TRUE(RenameSection().empty()) << "no fallback entry while MoveFileEx works";
}

TEST(WininitFallback, KeepsEarlierEntriesAndAddsAtTheEnd)
{
    WininitFile wininit;
    wininit.Write("[other]\r\nkey=value\r\n[rename]\r\nNUL=C:\\first.tmp\r\nC:\\t.dll=C:\\t.new\r\n");
    EXPECT_TRUE(AppendWininitRename("NUL", "C:\\second.tmp"));
    EXPECT_TRUE(AppendWininitRename("C:\\u.dll", "C:\\u.new"));
    EXPECT_EQ(RenameSection(), (std::vector<std::string>{"NUL=C:\\first.tmp", "C:\\t.dll=C:\\t.new",
                                                         "NUL=C:\\second.tmp", "C:\\u.dll=C:\\u.new"}));
    char value[32];
    GetPrivateProfileStringA("other", "key", "", value, sizeof value, "WININIT.INI");
    EXPECT_STREQ(value, "value");
}

TEST(WininitFallback, TakesOverWhereMoveFileExFails)
{
    WininitFile wininit;
    wininit.Write("[rename]\r\nNUL=C:\\first.tmp\r\n");
    size_t pending = PendingOperations().size();
    {
        ReadOnlyPendingList readOnly;
        ASSERT_TRUE(readOnly.Denied());
        EXPECT_TRUE(ScheduleDeleteAtReboot("C:\\users\\x\\OrvUnInst.exe"));
        ScheduleRenameAtReboot("C:\\app\\a.dll.new", "C:\\app\\a.dll");
    }
    EXPECT_EQ(RenameSection(), (std::vector<std::string>{"NUL=C:\\first.tmp", "NUL=C:\\users\\x\\OrvUnInst.exe",
                                                         "C:\\app\\a.dll=C:\\app\\a.dll.new"}));
    EXPECT_EQ(PendingOperations().size(), pending);
    EXPECT_TRUE(ScheduleDeleteAtReboot("C:\\users\\x\\again.exe")) << "the system list works again";
    EXPECT_EQ(RenameSection().size(), 3u);
}

// 100 entries of 160 bytes with their NULs fill 16,000 of the 16,384 bytes; the
// list's final NUL needs one more.
TEST(WininitFallback, FullSectionGetsNoEntryAndFailure)
{
    std::string content = "[rename]\r\n";
    for (int i = 0; i < 100; ++i) content += "NUL=C:\\" + std::string(148, 'a') + std::to_string(1000 + i) + "\r\n";
    struct {
        int length;  // of the new entry, without its NUL
        bool added;
    } cases[] = {{382, true}, {383, false}};
    for (const auto& c : cases) {
        WininitFile wininit;
        wininit.Write(content);
        ASSERT_EQ(RenameSection().size(), 100u);
        std::string path = "C:\\" + std::string(c.length - 7, 'b');
        EXPECT_EQ(AppendWininitRename("NUL", path.c_str()), c.added ? TRUE : FALSE) << c.length;
        EXPECT_EQ(RenameSection().size(), c.added ? 101u : 100u) << c.length;
        if (c.added) {
            // Once the section has filled its buffer, nothing more is added.
            EXPECT_FALSE(AppendWininitRename("NUL", "C:\\x"));
        } else {
            EXPECT_EQ(wininit.Read(), content) << "the file is not rewritten";
        }
    }
}

// The restart: the test runs inside Wine, so it starts the prefix's own
// wineboot.exe with -r as a child, which carries out the system's pending list and
// the "rename" section of WININIT.INI as a start of Windows would.
TEST(Restart, PendingReplacementTakesPlace)
{
    ScratchFolder source;
    ScratchFolder dest;
    WininitFile wininit;
    wininit.Write("");
    std::string target = dest / "app.bin";
    WriteTextFile(source / "app.bin", "new");
    WriteTextFile(target, "old");
    WriteTextFile(dest / "stale.tmp", "left by an earlier run");
    ASSERT_TRUE(AppendWininitRename("NUL", (dest / "stale.tmp").c_str()));
    {
        std::string ready = source / "held.ready";
        ChildProcess holder(Quote(HelperExe("file_holder")) + " " + Quote(target) + " " + Quote(ready));
        ASSERT_TRUE(WaitUntil([&] { return FileExists(ready); }));
        EXPECT_FALSE(InstallFile("app.bin", source.Path().c_str(), dest.Path().c_str()));
        ASSERT_TRUE(FileExists(target + ".new"));
        holder.Terminate();  // programs end before Windows starts again
    }
    EXPECT_EQ(RunToEnd("C:\\windows\\system32\\wineboot.exe -r"), 0u);
    WininitFile::Flush();

    EXPECT_EQ(ReadTextFile(target), "new");
    EXPECT_FALSE(FileExists(target + ".new"));
    EXPECT_LT(PendingIndex(target + ".new", target), 0);
    EXPECT_FALSE(FileExists(dest / "stale.tmp"));
}
}  // namespace
