// Closing the other running copies of the product and of this program.
#pragma once

#include <windows.h>

// Asks every other process of the instance list to close (WM_CLOSE with wParam
// 1001 to its window), waits 10 ms, then terminates it if it is still a copy of
// the product or of this program. The own process is never touched.
void CloseOtherInstances();

// True when the process runs a copy of the product (Glimcap6.exe) or of this
// program (an executable with this program's internal name). Needs a handle with
// PROCESS_QUERY_LIMITED_INFORMATION; false when its executable cannot be read.
bool IsInstanceProcess(HANDLE process);
