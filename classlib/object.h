// CObject and its run-time class record: the class name, the base class and the
// schema number that a class derived from CObject carries.
#pragma once

#include <windows.h>

class CObject;
class CArchive;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                   // 0xFFFF: not serialisable
    CObject* (*m_pfnCreateObject)();  // null: no dynamic creation
    const CRuntimeClass* m_pBaseClass;

    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class CObject {
public:
    static const CRuntimeClass classCObject;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    virtual void Serialize(CArchive& archive);

    bool IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

protected:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(name) (&name::class##name)

#define DECLARE_DYNAMIC(name)                     \
public:                                           \
    static const CRuntimeClass class##name;       \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(name, base)                                                    \
    const CRuntimeClass name::class##name = {#name, sizeof(name), 0xFFFF, nullptr,      \
                                             RUNTIME_CLASS(base)};                       \
    const CRuntimeClass* name::GetRuntimeClass() const { return RUNTIME_CLASS(name); }
