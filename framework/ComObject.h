// IUnknown plumbing: a QueryInterface table per class and a module-counted reference count.
#pragma once

#include <unknwn.h>

#include <cstddef>

#include "framework/Module.h"

namespace fw {

struct InterfaceEntry {
    const IID* iid;
    std::ptrdiff_t offset;  // from the class pointer to the interface's vtable pointer
};

template <class Class, class Interface>
std::ptrdiff_t InterfaceOffset() {
    // Any non-null address works; the cast only applies the base-class adjustment.
    Class* probe = reinterpret_cast<Class*>(0x1000);
    return reinterpret_cast<char*>(static_cast<Interface*>(probe)) - reinterpret_cast<char*>(probe);
}

// Looks riid up in a table ending with {nullptr, 0}. IUnknown is answered by the first entry.
HRESULT QueryInterfaceFromTable(void* self, const InterfaceEntry* table, REFIID riid, void** ppv);

// One reference count per object; each live object also holds the module, so
// DllCanUnloadNow answers S_FALSE while any object exists.
class RefCount {
public:
    RefCount() { LockModule(); }
    RefCount(const RefCount&) = delete;
    RefCount& operator=(const RefCount&) = delete;
    ~RefCount() { UnlockModule(); }
    ULONG Increment() { return static_cast<ULONG>(InterlockedIncrement(&m_count)); }
    ULONG Decrement() { return static_cast<ULONG>(InterlockedDecrement(&m_count)); }

private:
    LONG m_count = 1;
};

}  // namespace fw

#define FW_INTERFACE_ENTRY(Class, Interface) \
    { &__uuidof(Interface), ::fw::InterfaceOffset<Class, Interface>() }
#define FW_INTERFACE_ENTRY_IID(Class, iid, Interface) \
    { &(iid), ::fw::InterfaceOffset<Class, Interface>() }
#define FW_INTERFACE_TABLE_END { nullptr, 0 }

// IUnknown of a class that owns `static const fw::InterfaceEntry kInterfaces[]` and
// `fw::RefCount m_refs`. Objects start with one reference held by their creator.
#define FW_IMPLEMENT_IUNKNOWN()                                                         \
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {                     \
        return ::fw::QueryInterfaceFromTable(this, kInterfaces, riid, ppv);            \
    }                                                                                   \
    STDMETHODIMP_(ULONG) AddRef() override { return m_refs.Increment(); }               \
    STDMETHODIMP_(ULONG) Release() override {                                           \
        ULONG n = m_refs.Decrement();                                                   \
        if (n == 0) delete this;                                                        \
        return n;                                                                       \
    }
