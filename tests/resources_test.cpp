// The built setup.exe as a file: a 32-bit GUI program that carries its texts,
// icon, version and application manifest.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "../res/website.h"
#include "paths.h"
#include "scratch.h"

namespace {
class SetupExecutable : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_module = LoadLibraryExA(SetupExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(m_module, nullptr);
    }
    void TearDown() override { FreeLibrary(m_module); }

    std::string String(UINT id)
    {
        char text[1024] = "";
        LoadStringA(m_module, id, text, sizeof text);
        return text;
    }
    std::string Resource(LPCSTR type, LPCSTR name)
    {
        HRSRC found = FindResourceA(m_module, name, type);
        if (!found) return std::string();
        const char* data = static_cast<const char*>(LockResource(LoadResource(m_module, found)));
        return std::string(data, SizeofResource(m_module, found));
    }
    HMODULE m_module = nullptr;
};

TEST_F(SetupExecutable, IsA32BitGuiProgram)
{
    std::string image = ReadTextFile(SetupExe());
    ASSERT_GT(image.size(), 0x200u);
    ASSERT_EQ(image.substr(0, 2), "MZ");
    DWORD peOffset = *reinterpret_cast<const DWORD*>(&image[0x3C]);
    ASSERT_EQ(image.substr(peOffset, 4), std::string("PE\0\0", 4));
    const auto* header = reinterpret_cast<const IMAGE_NT_HEADERS32*>(&image[peOffset]);
    EXPECT_EQ(header->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(header->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(header->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST_F(SetupExecutable, ImportsOnlySystemLibraries)
{
    // Statically linked: nothing but libraries every Windows has needs to sit beside it.
    HMODULE image = LoadLibraryExA(SetupExe().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(image, nullptr);
    const BYTE* base = reinterpret_cast<const BYTE*>(image);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    const std::string system[] = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
                                  "ole32.dll", "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "version.dll",
                                  "msvcrt.dll", "shlwapi.dll", "uuid.dll"};
    int count = 0;
    for (; entry->Name; ++entry, ++count) {
        std::string name = reinterpret_cast<const char*>(base + entry->Name);
        CharLowerBuffA(&name[0], static_cast<DWORD>(name.size()));
        EXPECT_NE(std::find(std::begin(system), std::end(system), name), std::end(system)) << name;
    }
    EXPECT_GT(count, 0);
    FreeLibrary(image);
}

TEST_F(SetupExecutable, StringTableTexts)
{
    struct { UINT id; std::string text; } texts[] = {
        {1, "1 instance of Glimmerix is currently opened. If you click \"Yes\" button, SETUP will try to close it "
            "without saving any editing work you may have done. \n\nContinue installation?"},
        {2, "Glimmerix Setup"},
        {3, "Setup of Glimmerix aborted. Please close other instances of Glimmerix manually, saving any editing work "
            "you have done in them, then restart this setup program."},
        {4, "%d instances of Glimmerix are currently opened. ff you click \"Yes\" button, SETUP will try to close "
            "them without saving any editing work you may have done. \n\nContinue installation?"},
        {6, "This will completely uninstall Glimmerix 6.\nDo you want to continue?"},
        {7, "Please accept the License Agreement"},
        {8, "&Finish >"},
        {9, "Glimmerix 6 has been successfully installed."},
        {10, "Press the Finish button to exit this installation."},
        {11, "Do you really want to cancel Glimmerix setup?"},
        {12, "Select the folder where where Glimmerix should be installed."},
        {13, "You have entered and invalid folder name. Please correct.\nIf you want to create a new folder, select "
             "its parent folder in the list and click \"Make New Foilder\" button."},
        {14, "Glimmerix ver. 6 can not be installed into the same folder where the old version 4 or 5 is installed. "
             "Please select a different folder."},
        {15, "Glimmerix 6"},
        {16, "Glimmerix v. %d.%02d.%02d.%02d is already installed on this machine. You are trying to install an older "
             "version %d.%02d.%02d.%02d .\n\nDo you still want to continue?"},
        {17, "Glimmerix ver. %d.%02d.%02d.%02d is already installed on this machine.\n\nWould you like to run this "
             "setup again to select different options or repair the files?"},
        {18, "This setup files are damaged, installation aborted.\n\nPlease download the product again from "
             ORV_WEBSITE " and re-try the setup."},
        {19, "This folder already contains a previous copy of Glimmerix 6. To upgrade or re-install that copy, please "
             "do not change the destination folder."},
        {20, "Glimmerix 6 has been completely uninstalled from this computer."},
        {21, "Yes"},
        {22, "No"},
        {23, "Error: Please enter a valid group name, minimum 3 letters"},
        {24, "Error: Can not install shortcuts into this group, please select a different name."},
        {101, "Glimmerix 6 Help"},
        {102, "Read about Glimmerix 6"},
        {104, "Uninstall Glimmerix 6"},
        {57344, "Glimmerix Setup"},
    };
    for (const auto& t : texts) EXPECT_EQ(String(t.id), t.text) << "string " << t.id;
}

TEST_F(SetupExecutable, ManifestIconAndVersion)
{
    std::string manifest = Resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
    for (const char* part : {"name=\"Orvandelsys.Software.OrvUnInst\"", "version=\"5.0.0.0\"",
                             "processorArchitecture=\"x86\"", "name=\"Microsoft.Windows.Common-Controls\"",
                             "version=\"6.0.0.0\""})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    EXPECT_NE(FindResourceA(m_module, MAKEINTRESOURCEA(128), MAKEINTRESOURCEA(14)), nullptr);  // icon group
    EXPECT_NE(FindResourceA(m_module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)), nullptr);    // version
}
}  // namespace
