#pragma once
// Owners for the Windows handles the program holds, so none leaks on any path.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace tessary::win32 {

// Traits: how a kind of handle is closed and which value means "none".
template <typename Handle, auto Close>
struct NullIsInvalid {
    static Handle Invalid() { return Handle(); }
    static void Free(Handle handle) { Close(handle); }
};

template <auto Close>
struct MinusOneIsInvalid {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Free(HANDLE handle) { Close(handle); }
};

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Invalid() && m_handle != Handle(); }
    Handle Release() {
        Handle handle = m_handle;
        m_handle = Traits::Invalid();
        return handle;
    }
    void Reset(Handle handle = Traits::Invalid()) {
        if (*this) Traits::Free(m_handle);
        m_handle = handle;
    }
    // For a call that hands its new handle out through a pointer: lets go of the one held and
    // gives the call the slot to fill.
    Handle* Put() {
        Reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};

inline void CloseKernelHandle(HANDLE handle) { ::CloseHandle(handle); }
inline void CloseRegistryKey(HKEY key) { ::RegCloseKey(key); }
inline void CloseFindHandle(HANDLE handle) { ::FindClose(handle); }
inline void DeleteGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
inline void UnloadLibrary(HMODULE module) { ::FreeLibrary(module); }

using KernelHandle = UniqueHandle<HANDLE, NullIsInvalid<HANDLE, CloseKernelHandle>>;
using FileHandle = UniqueHandle<HANDLE, MinusOneIsInvalid<CloseKernelHandle>>;
using FindHandle = UniqueHandle<HANDLE, MinusOneIsInvalid<CloseFindHandle>>;
using RegistryKey = UniqueHandle<HKEY, NullIsInvalid<HKEY, CloseRegistryKey>>;
using GdiObject = UniqueHandle<HGDIOBJ, NullIsInvalid<HGDIOBJ, DeleteGdiObject>>;
using ModuleHandle = UniqueHandle<HMODULE, NullIsInvalid<HMODULE, UnloadLibrary>>;

// Frees memory the shell hands out with CoTaskMemAlloc.
struct CoTaskMemDeleter {
    void operator()(void* memory) const { ::CoTaskMemFree(memory); }
};
template <typename T>
using CoTaskMemPtr = std::unique_ptr<T, CoTaskMemDeleter>;

// Releases a COM interface.
struct ComReleaser {
    void operator()(IUnknown* object) const {
        if (object) object->Release();
    }
};
template <typename T>
using ComPtr = std::unique_ptr<T, ComReleaser>;

// Frees a text made with SysAllocString.
struct BstrFreer {
    void operator()(BSTR text) const { ::SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFreer>;

// COM for the calling thread for as long as the object lives. A thread that already has COM in
// the other threading model keeps it and may use it; only an initialisation that took place is
// undone.
class ComInitialization {
public:
    ComInitialization() : m_result(::CoInitialize(nullptr)) {}
    ~ComInitialization() {
        if (SUCCEEDED(m_result)) ::CoUninitialize();
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

    bool Usable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }
    HRESULT Result() const { return m_result; }

private:
    HRESULT m_result;
};

}  // namespace tessary::win32
