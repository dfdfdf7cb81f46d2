#include "setup_app.h"

#include <stdlib.h>

#include "../instances/close_instances.h"
#include "../instances/instance_manager.h"
#include "../res/resource.h"
#include "../setup/setup_driver.h"
#include "../uninstall/self_removal.h"
#include "run_mode.h"
#include "setup_state.h"

namespace {
// The texts of the boxes raised here fit 255 characters, their caption 127.
CString LoadBoxText(UINT id)
{
    char text[256] = "";
    LoadStringA(AfxGetResourceHandle(), id, text, sizeof text);
    return CString(text);
}

int ShowEntryBox(const CString& caption, const char* text, UINT type)
{
    return MessageBoxA(nullptr, text, caption, type);
}

bool ConfirmUninstall(const CString& caption)
{
    return ShowEntryBox(caption, LoadBoxText(IDS_CONFIRM_UNINSTALL), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) ==
           IDYES;
}

// Asks whether the other running copies may be closed; on No, says how to go on.
bool AllowClosingInstances(const CString& caption, int others)
{
    CString question;
    if (others == 1)
        question = LoadBoxText(IDS_ONE_INSTANCE_OPEN);
    else
        question.Format(LoadBoxText(IDS_INSTANCES_OPEN), others);
    if (ShowEntryBox(caption, question, MB_YESNO | MB_ICONEXCLAMATION) == IDYES) return true;
    ShowEntryBox(caption, LoadBoxText(IDS_SETUP_ABORTED), MB_OK | MB_ICONINFORMATION);
    return false;
}

CString OwnExecutablePath()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return CString(path);
}
}  // namespace

BOOL CSetupApp::InitInstance()
{
    const RunDecision run = DecideRun(__argc, __argv, OwnExecutablePath());
    g_bSilent = run.silent;
    if (run.kind == RunKind::SelfRemoval) RunSelfRemovalPass(__argv[2]);  // does not return

    m_hInstance = GetModuleHandleA(nullptr);
    AfxSetResourceHandle(m_hInstance);

    char captionBuffer[128] = "";
    LoadStringA(m_hInstance, IDS_SETUP_CAPTION, captionBuffer, sizeof captionBuffer);
    const CString caption(captionBuffer);

    const bool setup = run.kind == RunKind::Setup;
    if (!setup && !g_bSilent && !ConfirmUninstall(caption)) return FALSE;

    const int others = g_instanceManager.CountProcesses() - 1;
    if (others > 0) {
        if (setup && run.askAboutInstances && !AllowClosingInstances(caption, others)) return TRUE;
        CloseOtherInstances();
    }

    if (setup) return RunSetup();
    LaunchSelfRemoval();
    return FALSE;
}
