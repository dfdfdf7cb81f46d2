// The boxes that the program entry raises, seen and answered through their real
// windows, with stand-in products running where the setup must ask about them.
#include <gtest/gtest.h>

#include <set>

#include "installation.h"
#include "paths.h"
#include "processes.h"
#include "product_runner.h"
#include "scratch.h"
#include "ui_driver.h"

namespace {
const char kCaption[] = "Glimmerix Setup";
const char kConfirmUninstall[] = "This will completely uninstall Glimmerix 6.\nDo you want to continue?";
const char kOneInstance[] =
    "1 instance of Glimmerix is currently opened. If you click \"Yes\" button, SETUP will try to close it without "
    "saving any editing work you may have done. \n\nContinue installation?";
const char kTwoInstances[] =
    "2 instances of Glimmerix are currently opened. ff you click \"Yes\" button, SETUP will try to close them "
    "without saving any editing work you may have done. \n\nContinue installation?";
const char kAborted[] =
    "Setup of Glimmerix aborted. Please close other instances of Glimmerix manually, saving any editing work you have "
    "done in them, then restart this setup program.";

std::set<std::string> TempFilesNamed(const char* pattern)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(temp) + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.insert(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

bool IsDefaultButton(HWND box, int id)
{
    return (GetWindowLongA(GetDlgItem(box, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

class EntryBoxes : public ::testing::Test {
protected:
    // A copy of the program under the uninstaller's name, in a folder of its own.
    std::string Uninstaller()
    {
        std::string path = m_folder / "OrvUnInst.exe";
        EXPECT_TRUE(CopyFileA(SetupExe().c_str(), path.c_str(), FALSE));
        return path;
    }
    // Setup runs that get past the boxes go on to install from a complete package,
    // so they start from a copy of the demo package; what they install is removed.
    void SetUp() override { RemoveInstallation(); }
    void TearDown() override { RemoveInstallation(); }
    std::string PackageSetup(const std::string& arguments) const
    {
        return Quote(m_package / "setup.exe") + " " + arguments;
    }
    ScratchFolder m_folder;
    TestPackage m_package;
};

TEST_F(EntryBoxes, DeclinedUninstallChangesNothing)
{
    std::string uninstaller = Uninstaller();
    WriteTextFile(m_folder / "OrvUnInst.log", "File Copy: Glimcap6.exe\r\n");
    const std::set<std::string> copiesBefore = TempFilesNamed("uni*.tmp");

    ChildProcess run(Quote(uninstaller));
    HWND box = WaitForTopLevelWindow(run.Id(), kCaption);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), kConfirmUninstall);
    EXPECT_TRUE(IsDefaultButton(box, IDNO));
    PressButton(box, IDNO);

    DWORD code = 1;
    ASSERT_TRUE(run.WaitForExit(20000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(FileExists(uninstaller));
    EXPECT_TRUE(FileExists(m_folder / "OrvUnInst.log"));
    EXPECT_EQ(TempFilesNamed("uni*.tmp"), copiesBefore);  // no copy was started
}

TEST_F(EntryBoxes, SetupAsksAboutOneOtherInstanceAndStopsOnNo)
{
    RunningProduct product(m_folder.Path(), "product");
    ChildProcess setup(Quote(SetupExe()));
    HWND question = WaitForTopLevelWindow(setup.Id(), kCaption);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageBoxText(question), kOneInstance);
    EXPECT_TRUE(IsDefaultButton(question, IDYES));
    PressButton(question, IDNO);

    ASSERT_TRUE(WaitForWindowGone(question));
    HWND aborted = WaitForTopLevelWindow(setup.Id(), kCaption);
    ASSERT_NE(aborted, nullptr);
    EXPECT_EQ(MessageBoxText(aborted), kAborted);
    PressButton(aborted, IDOK);

    ASSERT_TRUE(setup.WaitForExit(20000));
    EXPECT_TRUE(product.Process().IsRunning());
    EXPECT_EQ(product.Record().find("close"), std::string::npos);
}

TEST_F(EntryBoxes, SetupCountsSeveralOthersAndClosesThemOnYes)
{
    RunningProduct first(m_folder.Path(), "first");
    RunningProduct second(m_folder.Path(), "second", /*ignoreClose=*/true);
    // "-s" as the first argument makes the run silent, yet it still asks.
    ChildProcess setup(PackageSetup("-s"), m_package.Path());
    HWND question = WaitForTopLevelWindow(setup.Id(), kCaption);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(MessageBoxText(question), kTwoInstances);
    PressButton(question, IDYES);

    EXPECT_TRUE(first.Process().WaitForExit(20000));
    EXPECT_TRUE(second.Process().WaitForExit(20000));
    EXPECT_TRUE(setup.WaitForExit(20000));
}

// Runs that close the other instances without a question: the run reaches its
// end with no box in the way, and the product is gone.
TEST_F(EntryBoxes, ClosingWithoutAQuestion)
{
    // The uninstaller's copy in the package folder, where "-install" makes it a setup.
    ASSERT_TRUE(CopyFileA(SetupExe().c_str(), (m_package / "OrvUnInst.exe").c_str(), FALSE));
    const std::string commandLines[] = {
        Quote(m_package / "OrvUnInst.exe") + " -install -s",
        PackageSetup("-runafter /S"),  // not silent: ends where the wizard would start
    };
    for (const std::string& commandLine : commandLines) {
        RemoveInstallation();  // each run a fresh installation, with no version question
        RunningProduct product(m_folder.Path(), "product", /*ignoreClose=*/true);
        ChildProcess run(commandLine, m_package.Path());
        EXPECT_TRUE(run.WaitForExit(30000)) << commandLine;
        EXPECT_TRUE(product.Process().WaitForExit(20000)) << commandLine;
    }
}
}  // namespace
