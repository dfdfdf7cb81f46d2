// Owners for the system's handles: each closes what it holds when it goes out of
// scope, cannot be copied, and can be moved. A handle is released where it was taken.
#pragma once

#include <windows.h>

#include <stdio.h>

template <typename Traits>
class ScopedHandle {
public:
    using Type = typename Traits::Type;

    ScopedHandle() : m_handle(Traits::Invalid()) {}
    explicit ScopedHandle(Type handle) : m_handle(handle) {}
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { Reset(); }

    bool IsValid() const { return Traits::IsValid(m_handle); }
    Type Get() const { return m_handle; }
    // For out-parameters: closes what is held and hands out the slot.
    Type* Receive()
    {
        Reset();
        return &m_handle;
    }
    Type Release()
    {
        Type handle = m_handle;
        m_handle = Traits::Invalid();
        return handle;
    }
    void Reset(Type handle = Traits::Invalid())
    {
        if (Traits::IsValid(m_handle)) Traits::Close(m_handle);
        m_handle = handle;
    }

private:
    Type m_handle;
};

struct KernelHandleTraits {  // processes, threads, mappings, mutexes, files
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Type h) { FindClose(h); }
};

struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { RegCloseKey(h); }
};

struct MappedViewTraits {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type p) { return p != nullptr; }
    static void Close(Type p) { UnmapViewOfFile(p); }
};

struct LibraryTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { FreeLibrary(h); }
};

struct StdioFileTraits {  // files opened with fopen, for text-mode reading
    using Type = FILE*;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type f) { return f != nullptr; }
    static void Close(Type f) { fclose(f); }
};

using CHandle = ScopedHandle<KernelHandleTraits>;
using CFindHandle = ScopedHandle<FindHandleTraits>;
using CRegKey = ScopedHandle<RegKeyTraits>;
using CMappedView = ScopedHandle<MappedViewTraits>;
using CLibrary = ScopedHandle<LibraryTraits>;
using CStdioFile = ScopedHandle<StdioFileTraits>;
