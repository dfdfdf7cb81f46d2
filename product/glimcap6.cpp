// Glimcap6.exe: a stand-in for the product. It does what the setup and the
// uninstaller rely on: it stands in the instance list while it runs, shows a main
// window whose title begins with "Glimmerix", closes at once when asked to close
// without saving, and carries a version resource.
//
// For the tests it can write down what reaches it: "-record FILE" appends one line
// per instance message or close request ("ready ID", "started ID", "ended ID",
// "close WPARAM"); "-ignoreclose" makes it stay open when asked to close, as a copy
// that hangs would.
//
// "-takeover EXT..." (the extensions follow as separate arguments, such as ".bmp")
// makes it the handler of those image types as the product does, before its window
// opens: the value "Application" of the extension's subkey of the user's FileExts
// key, or where that key is missing the extension's default value under
// HKEY_CLASSES_ROOT, becomes "Glimcap6.exe", and the handler it replaces is saved
// beside it in "GlimcapOld". The uninstaller puts that handler back.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "../instances/instance_manager.h"

COXInstanceManager g_instanceManager;

namespace {
const char* g_recordPath = nullptr;
bool g_ignoreClose = false;
const char kFileExtsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const char kHandler[] = "Glimcap6.exe";

// Makes this program the handler of one extension under base (valueName null: the default value).
void TakeOver(HKEY base, const char* valueName, const char* extension)
{
    HKEY key;
    if (RegCreateKeyExA(base, extension, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    char previous[512] = "";
    DWORD size = sizeof previous - 1;
    DWORD type = 0;
    const bool hadHandler =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(previous), &size) == ERROR_SUCCESS &&
        type == REG_SZ && previous[0] != 0;
    // Taking over twice must not save the product's own handler as the previous one.
    if (hadHandler && !strstr(previous, kHandler))
        RegSetValueExA(key, "GlimcapOld", 0, REG_SZ, reinterpret_cast<const BYTE*>(previous),
                       static_cast<DWORD>(strlen(previous) + 1));
    RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(kHandler), sizeof kHandler);
    RegCloseKey(key);
}

void TakeOverImageTypes(int first)
{
    HKEY base;
    const char* valueName = "Application";
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kFileExtsKey, 0, KEY_ALL_ACCESS, &base) != ERROR_SUCCESS) {
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, nullptr, 0, KEY_ALL_ACCESS, &base) != ERROR_SUCCESS) return;
        valueName = nullptr;
    }
    for (int i = first; i < __argc && __argv[i][0] == '.'; ++i) TakeOver(base, valueName, __argv[i]);
    RegCloseKey(base);
}

void Record(const char* what, unsigned long value)
{
    if (!g_recordPath) return;
    if (FILE* file = fopen(g_recordPath, "a")) {
        fprintf(file, "%s %lu\n", what, value);
        fclose(file);
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case MSG_INSTANCE_STARTED: Record("started", static_cast<unsigned long>(lParam)); return 0;
    case MSG_INSTANCE_ENDED: Record("ended", static_cast<unsigned long>(lParam)); return 0;
    case WM_CLOSE:
        // 1001: the user has been told that unsaved work is lost; there is nothing to ask.
        Record("close", static_cast<unsigned long>(wParam));
        if (!g_ignoreClose) DestroyWindow(window);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ReadOptions()
{
    for (int i = 1; i < __argc; ++i) {
        if (strcmp(__argv[i], "-record") == 0 && i + 1 < __argc) g_recordPath = __argv[i + 1];
        if (strcmp(__argv[i], "-ignoreclose") == 0) g_ignoreClose = true;
        if (strcmp(__argv[i], "-takeover") == 0) TakeOverImageTypes(i + 1);
    }
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    ReadOptions();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "Glimmerix6MainWindow";
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    RegisterClassA(&windowClass);

    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Glimmerix 6 - Untitled", WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 480, 320, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    Record("ready", GetCurrentProcessId());

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
