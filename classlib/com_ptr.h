// CComPtr: owns one reference to a COM interface and releases it when it goes
// out of scope. Cannot be copied; QueryInterface hands out a new owner.
#pragma once

#include <objbase.h>

template <typename Interface>
class CComPtr {
public:
    CComPtr() = default;
    ~CComPtr() { Reset(); }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;

    Interface* operator->() const { return m_p; }
    Interface* Get() const { return m_p; }
    // For out-parameters of CoCreateInstance and QueryInterface.
    void** Receive()
    {
        Reset();
        return reinterpret_cast<void**>(&m_p);
    }
    void Reset()
    {
        if (m_p) m_p->Release();
        m_p = nullptr;
    }

private:
    Interface* m_p = nullptr;
};
