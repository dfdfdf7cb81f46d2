// How a start of the program is read from its command line and its own file name.
#pragma once

enum class RunKind { SelfRemoval, Setup, Uninstall };

struct RunDecision {
    RunKind kind = RunKind::Uninstall;
    bool silent = false;             // "-s" anywhere
    bool askAboutInstances = true;   // setup run: no "-s" or "/s" from the second argument on
};

// argv[0] is the program; exePath is the full path of the running executable as the
// system reports it.
RunDecision DecideRun(int argc, const char* const* argv, const char* exePath);
