#include "instance_manager.h"

#include <string.h>

#include "../classlib/winapp.h"

IMPLEMENT_DYNAMIC(COXInstanceManager, CObject)

namespace {
const char kListName[] = "Orvandelsys.Glimmerix-Pro.v4";
const DWORD kRequestedListSize = sizeof(InstanceListArea);
const DWORD kRequestedAdditionalSize = 1024;

DWORD RoundUp(DWORD size, DWORD unit) { return unit ? (size + unit - 1) / unit * unit : size; }

CString ObjectName(const char* prefix) { return CString(prefix) + kListName; }

void PostToMember(DWORD memberId, UINT message, DWORD processId)
{
    if (HWND window = FindProcessWindow(memberId)) PostMessageA(window, message, 0, static_cast<LPARAM>(processId));
}
}  // namespace

// Every operation on the list runs inside this frame: map the list area, take the
// mutex, work, unmap, release. Without a view the mutex is never touched.
class COXInstanceManager::ListFrame {
public:
    explicit ListFrame(COXInstanceManager& owner) : m_owner(owner), m_bMapped(owner.MapListView())
    {
        if (m_bMapped) m_owner.m_mutexList.Lock();
    }
    ~ListFrame()
    {
        if (!m_bMapped) return;
        m_owner.UnmapListView();
        m_owner.m_mutexList.Unlock();
    }
    bool IsOpen() const { return m_bMapped; }
    ListFrame(const ListFrame&) = delete;
    ListFrame& operator=(const ListFrame&) = delete;

private:
    COXInstanceManager& m_owner;
    bool m_bMapped;
};

COXInstanceManager::COXInstanceManager()
    : m_strName(kListName),
      m_nListSize(kRequestedListSize),
      m_nAdditionalSize(kRequestedAdditionalSize),
      m_mutexList(FALSE, ObjectName("COXInstanceManager_InstanceList_Mutex_")),
      m_mutexAdditional(FALSE, ObjectName("COXInstanceManager_Additional_Mutex_")),
      m_hFileMap(nullptr),
      m_pList(nullptr),
      m_pAdditional(nullptr)
{
    // Without both mutexes the list cannot be shared safely: end start-up before
    // this process touches it.
    if (!m_mutexList.IsValid()) AfxAbortStartup(m_mutexList.CreateError());
    if (!m_mutexAdditional.IsValid()) AfxAbortStartup(m_mutexAdditional.CreateError());

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    m_nListSize = RoundUp(m_nListSize, system.dwAllocationGranularity);
    m_nAdditionalSize = RoundUp(m_nAdditionalSize, system.dwAllocationGranularity);

    {
        // The mutex is taken before the mapping exists, so a process that opens
        // the new mapping waits in AddProcess until the list has been initialised
        // and its entry cannot be wiped by the initialisation.
        CSingleLock creating(m_mutexList);
        m_hFileMap = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE | SEC_COMMIT, 0,
                                        m_nListSize + m_nAdditionalSize,
                                        ObjectName("COXInstanceManager_FileMap_"));
        bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
        if (m_hFileMap && !existed) InitList();
    }
    AddProcess(GetCurrentProcessId());
}

COXInstanceManager::~COXInstanceManager()
{
    RemoveProcess(GetCurrentProcessId());
    UnmapAdditionalView();
    if (m_hFileMap) CloseHandle(m_hFileMap);
    m_hFileMap = nullptr;
    m_mutexAdditional.Close();
    m_mutexList.Close();
}

void COXInstanceManager::InitList()
{
    ListFrame frame(*this);
    if (!frame.IsOpen()) return;
    InstanceListArea* list = List();
    list->initialised = 1;
    list->count = 0;
    memset(list->ids, 0, sizeof list->ids);
}

BOOL COXInstanceManager::MapListView()
{
    if (!m_hFileMap) return FALSE;
    m_pList = static_cast<DWORD*>(MapViewOfFile(m_hFileMap, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, m_nListSize));
    return m_pList != nullptr;
}

void COXInstanceManager::UnmapListView()
{
    if (m_pList) UnmapViewOfFile(m_pList);
    m_pList = nullptr;
}

void COXInstanceManager::UnmapAdditionalView()
{
    if (m_pAdditional) UnmapViewOfFile(m_pAdditional);
    m_pAdditional = nullptr;
}

BOOL COXInstanceManager::AddProcess(DWORD processId)
{
    ListFrame frame(*this);
    if (!frame.IsOpen()) return FALSE;
    InstanceListArea* list = List();
    if (list->count >= INSTANCE_LIST_CAPACITY) return FALSE;
    for (LONG i = 0; i < list->count; ++i) PostToMember(list->ids[i], MSG_INSTANCE_STARTED, processId);
    list->ids[list->count++] = processId;
    return TRUE;
}

BOOL COXInstanceManager::RemoveProcess(DWORD processId)
{
    ListFrame frame(*this);
    if (!frame.IsOpen()) return FALSE;
    InstanceListArea* list = List();
    LONG count = list->count < INSTANCE_LIST_CAPACITY ? list->count : INSTANCE_LIST_CAPACITY;
    LONG found = 0;
    while (found < count && list->ids[found] != processId) ++found;
    if (found >= count) return FALSE;
    memmove(&list->ids[found], &list->ids[found + 1], sizeof(DWORD) * (count - found - 1));
    list->ids[count - 1] = 0;
    list->count = count - 1;
    for (LONG i = 0; i < list->count; ++i) PostToMember(list->ids[i], MSG_INSTANCE_ENDED, processId);
    return TRUE;
}

int COXInstanceManager::CountProcesses()
{
    ListFrame frame(*this);
    return frame.IsOpen() ? List()->count : 0;
}

BOOL COXInstanceManager::CopyProcessIds(CDWordArray& ids)
{
    ListFrame frame(*this);
    if (!frame.IsOpen()) return FALSE;
    InstanceListArea* list = List();
    LONG count = list->count;
    if (count < 0) count = 0;
    if (count > INSTANCE_LIST_CAPACITY) count = INSTANCE_LIST_CAPACITY;
    ids.SetSize(count);
    for (LONG i = 0; i < count; ++i) ids[i] = list->ids[i];
    return TRUE;
}
