#include "run_mode.h"

#include <string.h>

#include "../classlib/cstring.h"

namespace {
bool AnyArgumentIs(int argc, const char* const* argv, int first, const char* option)
{
    for (int i = first; i < argc; ++i)
        if (lstrcmpiA(argv[i], option) == 0) return true;
    return false;
}
}  // namespace

RunDecision DecideRun(int argc, const char* const* argv, const char* exePath)
{
    RunDecision run;
    run.silent = AnyArgumentIs(argc, argv, 1, "-s");

    // The temporary copy of the uninstaller: "-delself" exactly, with the uninstaller's path.
    if (argc >= 3 && strcmp(argv[1], "-delself") == 0) {
        run.kind = RunKind::SelfRemoval;
        return run;
    }

    CString lowerPath(exePath);
    lowerPath.MakeLower();
    bool setup = (argc >= 2 && lstrcmpiA(argv[1], "-install") == 0) || lowerPath.Find("setup.exe") >= 0;
    run.kind = setup ? RunKind::Setup : RunKind::Uninstall;
    // "-s" as the first argument makes the run silent but still lets the setup ask.
    run.askAboutInstances =
        setup && !AnyArgumentIs(argc, argv, 2, "-s") && !AnyArgumentIs(argc, argv, 2, "/s");
    return run;
}
