// Versions, the registry reader and the folder helper of the setup state.
#include <gtest/gtest.h>

#include <string>

#include "../app/setup_state.h"
#include "paths.h"
#include "scratch.h"

namespace {
FileVersionParts Version(DWORD a, DWORD b, DWORD c, DWORD d)
{
    FileVersionParts v;
    v.major = a;
    v.minor = b;
    v.release = c;
    v.build = d;
    return v;
}

TEST(VersionNumbers, OrderAndSpill)
{
    EXPECT_EQ(VersionNumber(Version(6, 1, 2, 3)), 6010203u);
    EXPECT_EQ(VersionNumber(Version(6, 1, 2, 4)), 6010204u);
    EXPECT_LT(VersionNumber(Version(6, 0, 1, 0)), VersionNumber(Version(6, 0, 2, 0)));
    // A part above 99 spills into the next: these count as the same version.
    EXPECT_EQ(VersionNumber(Version(1, 100, 0, 0)), VersionNumber(Version(2, 0, 0, 0)));
    EXPECT_EQ(VersionNumber(Version(0, 0, 0, 0)), 0u);
    // Unsigned 32-bit arithmetic: 65535.x wraps rather than failing.
    EXPECT_EQ(VersionNumber(Version(65535, 65535, 65535, 65535)),
              static_cast<DWORD>(((65535u * 100 + 65535u) * 100 + 65535u) * 100 + 65535u));
}

TEST(VersionNumbers, ReadFromExecutables)
{
    ReadFileVersion(ProductExe().c_str());
    EXPECT_EQ(FileVersion.major, 6u);
    EXPECT_EQ(FileVersion.minor, 0u);
    EXPECT_EQ(FileVersion.release, 2u);
    EXPECT_EQ(FileVersion.build, 0u);

    ScratchFolder folder;
    WriteTextFile(folder / "plain.txt", "no version here");
    for (const std::string& path : {folder / "plain.txt", folder / "missing.exe"}) {
        FileVersion = Version(9, 9, 9, 9);
        ReadFileVersion(path.c_str());
        EXPECT_EQ(VersionNumber(FileVersion), 0u) << path;
        EXPECT_EQ(FileVersion.major, 0u);
    }
}

TEST(RegistryStrings, ReadsWhatFitsAndNothingElse)
{
    ScratchRegistry registry;
    const char* key = "SOFTWARE\\Orvandelsys\\Glimmerix 6";
    SetRegistryString(HKEY_LOCAL_MACHINE, key, "Path", "C:\\Program Files\\Glimmerix 6");
    SetRegistryString(HKEY_LOCAL_MACHINE, key, "", "default");
    SetRegistryString(HKEY_LOCAL_MACHINE, key, "Long259", std::string(259, 'x'));
    SetRegistryString(HKEY_LOCAL_MACHINE, key, "Long300", std::string(300, 'y'));

    EXPECT_EQ(std::string(ReadRegistryString(HKEY_LOCAL_MACHINE, key, "Path")), "C:\\Program Files\\Glimmerix 6");
    EXPECT_EQ(std::string(ReadRegistryString(HKEY_LOCAL_MACHINE, key, "")), "default");
    EXPECT_EQ(std::string(ReadRegistryString(HKEY_LOCAL_MACHINE, key, "Long259")), std::string(259, 'x'));
    EXPECT_EQ(std::string(ReadRegistryString(HKEY_LOCAL_MACHINE, key, "Long300")), "");
    EXPECT_EQ(std::string(ReadRegistryString(HKEY_LOCAL_MACHINE, key, "Missing")), "");
    EXPECT_EQ(std::string(ReadRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Missing", "Path")), "");
    // The scratch registry hides the real one.
    EXPECT_EQ(std::string(ReadRegistryString(HKEY_CURRENT_USER, key, "Path")), "");
}

TEST(RegistryStrings, DataWithoutTerminatorIsNotOverrun)
{
    ScratchRegistry registry;
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\T", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::string full(260, 'z');  // exactly the buffer, no NUL
    RegSetValueExA(key, "Raw", 0, REG_BINARY, reinterpret_cast<const BYTE*>(full.data()), 260);
    RegSetValueExA(key, "Short", 0, REG_BINARY, reinterpret_cast<const BYTE*>("abc"), 3);
    RegCloseKey(key);
    EXPECT_EQ(std::string(ReadRegistryString(HKEY_CURRENT_USER, "Software\\T", "Raw")), full);
    EXPECT_EQ(std::string(ReadRegistryString(HKEY_CURRENT_USER, "Software\\T", "Short")), "abc");
}

TEST(ParentFolders, Cases)
{
    struct { const char* path; const char* parent; } cases[] = {
        {"a\\b\\", "a"},
        {"a\\b", "a"},
        {"C:\\Program Files\\Glimmerix 6\\Glimcap6.exe", "C:\\Program Files\\Glimmerix 6"},
        {"C:\\Start Menu\\Programs\\Glimmerix 6\\Glimmerix 6.lnk", "C:\\Start Menu\\Programs\\Glimmerix 6"},
        {"name", ""},
        {"\\name", ""},
        {"\\", ""},
        {"", ""},
        {"a\\\\", "a"},
    };
    for (const auto& c : cases) EXPECT_EQ(std::string(GetParentFolder(c.path)), c.parent) << c.path;
    EXPECT_EQ(std::string(GetParentFolder(nullptr)), "");
}

TEST(StartUp, IsWow64ProcessIsLookedUpOnce)
{
    EXPECT_EQ(g_pfnIsWow64Process, LookUpIsWow64Process());
    EXPECT_NE(g_pfnIsWow64Process, nullptr);  // every system this runs on has it
    EXPECT_TRUE(g_bDesktopIcon);
    EXPECT_FALSE(g_bAllUsers);
}
}  // namespace
