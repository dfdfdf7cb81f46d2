#include "winapp.h"

namespace {
CWinApp* g_pApp = nullptr;
HINSTANCE g_hInstance = nullptr;
HINSTANCE g_hResources = nullptr;
}  // namespace

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) { g_pApp = this; }
CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }
int CWinApp::Run() { return ExitInstance(); }
int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return g_pApp; }
HINSTANCE AfxGetInstanceHandle() { return g_hInstance ? g_hInstance : GetModuleHandleA(nullptr); }
HINSTANCE AfxGetResourceHandle() { return g_hResources ? g_hResources : AfxGetInstanceHandle(); }
void AfxSetResourceHandle(HINSTANCE resources) { g_hResources = resources; }
const char* AfxGetAppName() { return g_pApp && g_pApp->m_pszAppName ? g_pApp->m_pszAppName : ""; }

int AfxMessageBox(const char* text, UINT type)
{
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL: type |= MB_ICONEXCLAMATION; break;
        case MB_YESNO:
        case MB_YESNOCANCEL: type |= MB_ICONQUESTION; break;
        }
    }
    HWND owner = g_pApp && IsWindow(g_pApp->m_hWndMain) ? g_pApp->m_hWndMain : nullptr;
    return MessageBoxA(owner, text, AfxGetAppName(), type);
}

int AfxMessageBox(UINT stringId, UINT type)
{
    CString text;
    text.LoadString(stringId);
    return AfxMessageBox(text, type);
}

int AfxWinMain(HINSTANCE instance)
{
    g_hInstance = instance;
    CWinApp* app = g_pApp;
    if (!app) return -1;
    app->m_hInstance = instance;
    if (!app->m_pszAppName) {
        if (!app->m_strTitle.LoadString(AFX_IDS_APP_TITLE)) app->m_strTitle = "Application";
        app->m_pszAppName = app->m_strTitle;
    }
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}

void AfxAbortStartup(UINT exitCode) { ExitProcess(exitCode); }
