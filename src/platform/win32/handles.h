#pragma once
// Owners for the Windows handles the program holds, so none leaks on any path.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace tessary::win32 {

template <typename Handle, auto Close, Handle Invalid = Handle()>
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
    explicit operator bool() const { return m_handle != Invalid && m_handle != Handle(); }
    Handle Release() {
        Handle handle = m_handle;
        m_handle = Invalid;
        return handle;
    }
    void Reset(Handle handle = Invalid) {
        if (*this) Close(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = Invalid;
};

inline void CloseKernelHandle(HANDLE handle) { ::CloseHandle(handle); }
inline void CloseRegistryKey(HKEY key) { ::RegCloseKey(key); }
inline void CloseFindHandle(HANDLE handle) { ::FindClose(handle); }
inline void DeleteGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
inline void FreeModule(HMODULE module) { ::FreeLibrary(module); }
inline void DestroyMenuHandle(HMENU menu) { ::DestroyMenu(menu); }

using KernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
using FileHandle = UniqueHandle<HANDLE, CloseKernelHandle, INVALID_HANDLE_VALUE>;
using FindHandle = UniqueHandle<HANDLE, CloseFindHandle, INVALID_HANDLE_VALUE>;
using RegistryKey = UniqueHandle<HKEY, CloseRegistryKey>;
using GdiObject = UniqueHandle<HGDIOBJ, DeleteGdiObject>;
using ModuleHandle = UniqueHandle<HMODULE, FreeModule>;

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

}  // namespace tessary::win32
