// The instance list: every running copy of the product and of this program keeps
// its process id in one list in named shared memory, guarded by a named mutex.
// Object names, layout, locking and messages are shared with the product.
#pragma once

#include <windows.h>

#include "../classlib/cstring.h"
#include "../classlib/dword_array.h"
#include "../classlib/mutex.h"
#include "../classlib/object.h"

// Posted (wParam 0, lParam = the process id) to every member's window when a
// process joins or leaves the list.
constexpr UINT MSG_INSTANCE_STARTED = 1946;
constexpr UINT MSG_INSTANCE_ENDED = 1947;

// Layout of the list area: the initialised word, the count, then the ids.
constexpr int INSTANCE_LIST_CAPACITY = 1000;
struct InstanceListArea {
    DWORD initialised;
    LONG count;
    DWORD ids[INSTANCE_LIST_CAPACITY];
};
static_assert(sizeof(InstanceListArea) == 4008, "the list layout is shared with the product");

class COXInstanceManager : public CObject {
    DECLARE_DYNAMIC(COXInstanceManager)

public:
    // Creates or opens the list and adds the current process. Start-up ends
    // (AfxAbortStartup, exit code = the system's error) when a mutex cannot be made.
    COXInstanceManager();
    // Removes the current process and releases the objects.
    ~COXInstanceManager() override;

    BOOL AddProcess(DWORD processId);     // false when the list is full or unreachable
    BOOL RemoveProcess(DWORD processId);  // false when the id is not listed
    int CountProcesses();                 // 0 when the list cannot be reached
    // The valid entries in list order; false (ids unchanged) when the list cannot be read.
    BOOL CopyProcessIds(CDWordArray& ids);

protected:
    void InitList();
    BOOL MapListView();
    void UnmapListView();
    void UnmapAdditionalView();

    CString m_strName;
    DWORD m_nListSize;
    DWORD m_nAdditionalSize;
    CMutex m_mutexList;
    CMutex m_mutexAdditional;
    HANDLE m_hFileMap;
    DWORD* m_pList;
    void* m_pAdditional;

private:
    class ListFrame;
    InstanceListArea* List() { return reinterpret_cast<InstanceListArea*>(m_pList); }
};

// The one instance manager of the running program.
extern COXInstanceManager g_instanceManager;

// The first top-level window of the process, in enumeration order, that has no
// owner, is no tool window and whose title begins with "Glimmerix"; null if none.
HWND FindProcessWindow(DWORD processId);
