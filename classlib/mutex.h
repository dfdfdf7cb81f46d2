// CMutex: a named or unnamed system mutex that closes its handle when destroyed.
#pragma once

#include "handles.h"

class CMutex {
public:
    // Creates the mutex, or opens the existing one of that name. Check IsValid():
    // the name may be taken by an object of another type.
    CMutex(BOOL initiallyOwn, const char* name, LPSECURITY_ATTRIBUTES attributes = nullptr);

    bool IsValid() const { return m_hObject.IsValid(); }
    DWORD CreateError() const { return m_dwCreateError; }  // the system's error when not valid
    HANDLE Get() const { return m_hObject.Get(); }
    // Waits without a time limit; an abandoned mutex counts as taken.
    bool Lock();
    bool Unlock();
    void Close() { m_hObject.Reset(); }

private:
    CHandle m_hObject;
    DWORD m_dwCreateError;
};

// Holds a CMutex from construction to destruction.
class CSingleLock {
public:
    explicit CSingleLock(CMutex& mutex) : m_mutex(mutex), m_bLocked(mutex.Lock()) {}
    ~CSingleLock() { if (m_bLocked) m_mutex.Unlock(); }
    bool IsLocked() const { return m_bLocked; }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CMutex& m_mutex;
    bool m_bLocked;
};
