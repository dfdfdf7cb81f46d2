#include "mutex.h"

CMutex::CMutex(BOOL initiallyOwn, const char* name, LPSECURITY_ATTRIBUTES attributes)
    : m_hObject(CreateMutexA(attributes, initiallyOwn, name)), m_dwCreateError(IsValid() ? 0 : GetLastError())
{
}

bool CMutex::Lock()
{
    if (!IsValid()) return false;
    DWORD result = WaitForSingleObject(m_hObject.Get(), INFINITE);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

bool CMutex::Unlock() { return IsValid() && ReleaseMutex(m_hObject.Get()); }
