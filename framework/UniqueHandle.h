// Move-only owners of Win32 handles: one template, one traits struct per kind.
#pragma once

#include <windows.h>
#include <wininet.h>
#include <shellapi.h>

#include <utility>

namespace fw {

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : m_h(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    // Keeps GetLastError() intact, so a caller can still report the failure that
    // made it clean up.
    void reset(Handle h = Traits::Invalid()) {
        if (Traits::IsValid(m_h)) {
            DWORD lastError = GetLastError();
            Traits::Close(m_h);
            SetLastError(lastError);
        }
        m_h = h;
    }
    Handle release() { return std::exchange(m_h, Traits::Invalid()); }
    Handle get() const { return m_h; }
    Handle* put() { reset(); return &m_h; }
    bool valid() const { return Traits::IsValid(m_h); }
    explicit operator bool() const { return valid(); }

private:
    Handle m_h = Traits::Invalid();
};

struct FileTraits {  // CreateFile: INVALID_HANDLE_VALUE means none
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct KernelTraits {  // events, threads, processes: null means none
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct HKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct HInternetTraits {
    using Handle = HINTERNET;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { InternetCloseHandle(h); }
};
struct FindTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
struct HModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct HMenuTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyMenu(h); }
};
struct HDropTraits {
    using Handle = HDROP;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DragFinish(h); }
};

using UniqueFile = UniqueHandle<FileTraits>;
using UniqueKernelHandle = UniqueHandle<KernelTraits>;
using UniqueHKey = UniqueHandle<HKeyTraits>;
using UniqueHInternet = UniqueHandle<HInternetTraits>;
using UniqueFindHandle = UniqueHandle<FindTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueHModule = UniqueHandle<HModuleTraits>;
using UniqueHMenu = UniqueHandle<HMenuTraits>;
using UniqueHDrop = UniqueHandle<HDropTraits>;

}  // namespace fw
