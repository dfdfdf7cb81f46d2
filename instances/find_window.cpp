#include <string.h>

#include "instance_manager.h"

namespace {
struct WindowSearch {
    DWORD processId;
    HWND found;
};

// Decides for one top-level window; returns FALSE to stop the enumeration.
BOOL CALLBACK TestWindow(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    if (GetWindow(window, GW_OWNER)) return TRUE;
    if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return TRUE;

    char title[512] = "";
    GetWindowTextA(window, title, sizeof title);
    if (strcmp(title, "DDE Server Window") == 0 || strcmp(title, "OleMainThreadWndName") == 0) return TRUE;
    if (strncmp(title, "Glimmerix", 9) != 0) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

HWND FindProcessWindow(DWORD processId)
{
    WindowSearch search = {processId, nullptr};
    EnumWindows(TestWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
