// The pieces of the self-removal that need no second process: the copy's command
// line and the install folder taken from the uninstaller's path.
#include <gtest/gtest.h>

#include <string>

#include "../uninstall/self_removal.h"

namespace {
struct CommandCase {
    std::string temp;
    std::string uninstaller;
    bool silent;
    bool accepted;
    std::string command;  // empty: the paths are only checked to be there whole
};

std::string Padded(const std::string& head, size_t length, const std::string& tail)
{
    return head + std::string(length - head.size() - tail.size(), 'x') + tail;
}

TEST(SelfRemovalCommand, QuotesBlanksAndTabsAndRefusesWhatNoLongerFits)
{
    const std::string long258 = Padded("C:\\Program Files\\", 258, "\\OrvUnInst.exe");
    const std::string long257 = Padded("C:\\Program Files\\", 257, "\\OrvUnInst.exe");
    const std::string bare259 = Padded("C:\\P\\", 259, "\\OrvUnInst.exe");
    const CommandCase cases[] = {
        {"C:\\Temp\\uni1.tmp", "C:\\Glx\\OrvUnInst.exe", false, true, "C:\\Temp\\uni1.tmp -delself C:\\Glx\\OrvUnInst.exe"},
        {"C:\\Temp\\uni1.tmp", "C:\\Glx\\OrvUnInst.exe", true, true, "C:\\Temp\\uni1.tmp -delself C:\\Glx\\OrvUnInst.exe -s"},
        {"C:\\My Temp\\uni2.tmp", "C:\\Program Files\\Glimmerix 6\\OrvUnInst.exe", true, true,
         "\"C:\\My Temp\\uni2.tmp\" -delself \"C:\\Program Files\\Glimmerix 6\\OrvUnInst.exe\" -s"},
        {"C:\\T\\uni3.tmp", "C:\\Tab\there\\OrvUnInst.exe", false, true, "C:\\T\\uni3.tmp -delself \"C:\\Tab\there\\OrvUnInst.exe\""},
        {"C:\\T\\uni3.tmp", long257, false, true, ""},   // 259 with its quotes: fits
        {"C:\\T\\uni3.tmp", long258, false, false, ""},  // 260 with its quotes: refused
        {"C:\\T\\uni3.tmp", bare259, false, true, ""},   // no quotes needed: fits
        {Padded("C:\\A B\\", 258, "\\uni4.tmp"), "C:\\Glx\\OrvUnInst.exe", false, false, ""},
    };
    for (const CommandCase& c : cases) {
        CString command;
        const bool built = BuildSelfRemovalCommand(c.temp.c_str(), c.uninstaller.c_str(), c.silent, command);
        ASSERT_EQ(built, c.accepted) << c.temp << " " << c.uninstaller;
        if (!c.command.empty()) {
            EXPECT_EQ(std::string(command), c.command);
        }
        if (built) {
            EXPECT_NE(std::string(command).find(c.temp), std::string::npos) << "never shortened";
            EXPECT_NE(std::string(command).find(c.uninstaller), std::string::npos) << "never shortened";
        }
    }
}

TEST(SelfRemovalFolder, DriveAndDirectoryOfTheUninstaller)
{
    const struct {
        std::string path;
        const char* folder;
    } cases[] = {
        {"C:\\Program Files\\Glimmerix 6\\OrvUnInst.exe", "C:\\Program Files\\Glimmerix 6\\"},
        {"C:\\OrvUnInst.exe", "C:\\"},
        {"C:/Apps/Glx/OrvUnInst.exe", "C:/Apps/Glx/"},
        {"\\\\server\\share\\Glx\\OrvUnInst.exe", "\\\\server\\share\\Glx\\"},
        {"OrvUnInst.exe", ""},  // no folder part: nothing to uninstall in
        {Padded("C:\\", 259, "\\OrvUnInst.exe"), nullptr},
        {Padded("C:\\", 260, "\\OrvUnInst.exe"), ""},  // longer than a path can be
    };
    for (const auto& c : cases) {
        const std::string expected = c.folder ? c.folder : c.path.substr(0, c.path.rfind('\\') + 1);
        EXPECT_STREQ(UninstallerFolder(c.path.c_str()), expected.c_str()) << c.path;
    }
}
}  // namespace
