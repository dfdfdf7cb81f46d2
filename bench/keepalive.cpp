// bench_keepalive: holds the prefix's desktop open for the whole benchmark. Wine
// ends its desktop process about a second after the last program with a window,
// and the next GUI program then waits for a new one to start: a cost that would
// fall on whichever measured program came after a pause. On Windows the desktop
// is always there. Runs until it is ended (wineserver -k at the end of the run).
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "GlimmerixBenchKeepAlive";
    RegisterClassA(&windowClass);
    // A hidden top-level window: it needs the desktop, and is never shown.
    CreateWindowA(windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
