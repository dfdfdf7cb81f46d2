#include "ui_driver.h"

#include "processes.h"

namespace {
struct TopLevelSearch {
    DWORD processId;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<TopLevelSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->processId && owner != search->processId) return TRUE;
    if (!IsWindowVisible(window) || WindowText(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM param)
{
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0)
        reinterpret_cast<std::vector<std::string>*>(param)->push_back(WindowText(child));
    return TRUE;
}
}  // namespace

HWND FindTopLevelWindow(DWORD processId, const std::string& caption)
{
    TopLevelSearch search = {processId, &caption, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopLevelWindow(DWORD processId, const std::string& caption, DWORD milliseconds)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevelWindow(processId, caption)) != nullptr; }, milliseconds);
    return found;
}

std::string WindowText(HWND window)
{
    char text[4096] = "";
    // WM_GETTEXT reads the text of another process's controls too.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

std::vector<std::string> StaticTexts(HWND window)
{
    std::vector<std::string> texts;
    EnumChildWindows(window, CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::string MessageBoxText(HWND box)
{
    for (const std::string& text : StaticTexts(box))
        if (!text.empty()) return text;
    return std::string();
}

HWND ControlById(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void PressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool WaitForWindowGone(HWND window, DWORD milliseconds)
{
    return WaitUntil([&] { return !IsWindow(window); }, milliseconds);
}
