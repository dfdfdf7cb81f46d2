// How the program reads its command line and its own file name.
#include <gtest/gtest.h>

#include <vector>

#include "../app/run_mode.h"

namespace {
struct RunCase {
    std::vector<const char*> args;  // after the program name
    const char* exePath;
    RunKind kind;
    bool silent;
    bool ask;
};

RunDecision Decide(const RunCase& c)
{
    std::vector<const char*> argv = {c.exePath};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    return DecideRun(static_cast<int>(argv.size()), argv.data(), c.exePath);
}

const char kSetup[] = "C:\\Package\\setup.exe";
const char kUninstaller[] = "C:\\Program Files\\Glimmerix 6\\OrvUnInst.exe";

const RunCase kCases[] = {
    {{}, kSetup, RunKind::Setup, false, true},
    {{}, "C:\\Package\\SETUP.EXE", RunKind::Setup, false, true},
    {{}, "C:\\Package\\Setup.exe", RunKind::Setup, false, true},
    {{}, "C:\\Package\\MySetup.exe", RunKind::Setup, false, true},
    {{}, "C:\\old setup.exe files\\OrvUnInst.exe", RunKind::Setup, false, true},
    {{}, "C:\\Package\\setup.com", RunKind::Uninstall, false, false},
    {{}, kUninstaller, RunKind::Uninstall, false, false},
    {{"-install"}, kUninstaller, RunKind::Setup, false, true},
    {{"-INSTALL"}, kUninstaller, RunKind::Setup, false, true},
    {{"-s", "-install"}, kUninstaller, RunKind::Uninstall, true, false},  // "-install" counts only first
    // "-s" first: silent, yet the setup still asks about other instances.
    {{"-s"}, kSetup, RunKind::Setup, true, true},
    {{"-S"}, kSetup, RunKind::Setup, true, true},
    {{"-install", "-s"}, kUninstaller, RunKind::Setup, true, false},
    {{"-runafter", "/s"}, kSetup, RunKind::Setup, false, false},
    {{"-runafter", "/S"}, kSetup, RunKind::Setup, false, false},
    {{"/s"}, kSetup, RunKind::Setup, false, true},
    {{"-runafter", "-silent"}, kSetup, RunKind::Setup, false, true},  // whole arguments only
    {{"-s"}, kUninstaller, RunKind::Uninstall, true, false},
    {{"-delself", "C:\\Program Files\\Glimmerix 6\\OrvUnInst.exe"}, "C:\\Temp\\uni1.tmp", RunKind::SelfRemoval,
     false, true},
    {{"-delself", "C:\\G\\OrvUnInst.exe", "-s"}, "C:\\Temp\\uni1.tmp", RunKind::SelfRemoval, true, true},
    // Only exactly "-delself" with a path is the self-removal pass.
    {{"-Delself", "C:\\G\\OrvUnInst.exe"}, "C:\\Temp\\uni1.tmp", RunKind::Uninstall, false, false},
    {{"-DELSELF", "C:\\G\\OrvUnInst.exe"}, kSetup, RunKind::Setup, false, true},
    {{"-delself"}, "C:\\Temp\\uni1.tmp", RunKind::Uninstall, false, false},
    {{"-s", "-delself", "C:\\G\\OrvUnInst.exe"}, "C:\\Temp\\uni1.tmp", RunKind::Uninstall, true, false},
};

class RunDecisionTable : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunDecisionTable, KindSilenceAndQuestion)
{
    const RunCase& c = GetParam();
    RunDecision run = Decide(c);
    EXPECT_EQ(run.kind, c.kind);
    EXPECT_EQ(run.silent, c.silent);
    if (c.kind == RunKind::Setup) EXPECT_EQ(run.askAboutInstances, c.ask);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, RunDecisionTable, ::testing::ValuesIn(kCases));
}  // namespace
