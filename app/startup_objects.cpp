// The program's static objects, defined in one place because their order of
// construction matters: the instance manager first, so that this process stands
// in the instance list before anything else runs; then the application object;
// then the setup state. Objects of one file are built in the order of their
// definitions and destroyed in reverse, so the process leaves the list last.
#include "../instances/instance_manager.h"
#include "setup_app.h"
#include "setup_state.h"

COXInstanceManager g_instanceManager;

CSetupApp theApp;

CString g_strInstallDir;
CString g_strSourceDir;
CString g_strGroupName;
CString g_strNextText;
CString g_strCancelText;
BOOL g_bSilent = FALSE;
BOOL g_bFreshInstall = FALSE;
BOOL g_bUpgrade = FALSE;
BOOL g_bAllUsers = FALSE;
BOOL g_bAutoStart = FALSE;
BOOL g_bDesktopIcon = TRUE;
BOOL g_bRunAfter = FALSE;
PFN_ISWOW64PROCESS g_pfnIsWow64Process = LookUpIsWow64Process();
