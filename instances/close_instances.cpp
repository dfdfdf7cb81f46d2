#include "close_instances.h"

#include "../classlib/handles.h"
#include "instance_manager.h"

namespace {
const WPARAM kCloseWithoutSaving = 1001;
const DWORD kGraceMilliseconds = 10;
}  // namespace

void CloseOtherInstances()
{
    CDWordArray ids;
    if (!g_instanceManager.CopyProcessIds(ids)) return;
    const DWORD self = GetCurrentProcessId();
    for (int i = 0; i < ids.GetSize(); ++i) {
        DWORD id = ids[i];
        if (id == self) continue;
        if (HWND window = FindProcessWindow(id)) PostMessageA(window, WM_CLOSE, kCloseWithoutSaving, 0);
        Sleep(kGraceMilliseconds);
        // An id can outlive its process and be given to an unrelated one: only a
        // process that still runs the product or this program is terminated.
        CHandle process(OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
        if (process.IsValid() && IsInstanceProcess(process.Get())) TerminateProcess(process.Get(), 0);
    }
}
