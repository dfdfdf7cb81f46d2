// The application object, its entry, and the message box that carries the
// application title.
#pragma once

#include <windows.h>

#include "cstring.h"

// String-table id of the application title.
constexpr UINT AFX_IDS_APP_TITLE = 0xE000;

class CWinApp {
public:
    // With no name, the title is string AFX_IDS_APP_TITLE of the executable.
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // False ends the application through ExitInstance; true goes on to Run.
    virtual BOOL InitInstance();
    // With no main window left there is nothing to run: the application ends at once.
    virtual int Run();
    // The process's exit code.
    virtual int ExitInstance();

    const char* m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    HWND m_hWndMain = nullptr;  // owner of the application's message boxes while it exists

private:
    CString m_strTitle;
    friend int AfxWinMain(HINSTANCE instance);
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resources);
const char* AfxGetAppName();  // the application title, or "" before the application exists

// A message box with the application title as caption, owned by the main window
// if there is one. A box that names no icon gets the usual one for its buttons:
// exclamation for OK and OK/Cancel, question for Yes/No.
int AfxMessageBox(const char* text, UINT type = MB_OK);
int AfxMessageBox(UINT stringId, UINT type = MB_OK);

// Runs the application: title, InitInstance, then Run or ExitInstance. Returns the exit code.
int AfxWinMain(HINSTANCE instance);

// Start-up cannot go on (a system object the program depends on cannot be made):
// ends the process at once with the given exit code, before anything else runs.
[[noreturn]] void AfxAbortStartup(UINT exitCode);
