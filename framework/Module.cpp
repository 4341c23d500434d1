// The in-process server's module: its instance handle, lock count and class factories.
#include "framework/Module.h"

#include <iterator>
#include <new>

#include "framework/ComObject.h"
#include "framework/ExceptionBoundary.h"

namespace fw {
namespace {

HINSTANCE s_instance = nullptr;
LONG s_locks = 0;

// Class factory over one ClassEntry. It is itself counted, like every object.
class CClassFactory final : public IClassFactory {
public:
    explicit CClassFactory(const ClassEntry& entry) : m_entry(entry) {}

    FW_IMPLEMENT_IUNKNOWN()

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return CallNoThrow([&] { return m_entry.create(riid, ppv); });
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) LockModule(); else UnlockModule();
        return S_OK;
    }

private:
    static const InterfaceEntry kInterfaces[];
    const ClassEntry& m_entry;
    RefCount m_refs;
};

const InterfaceEntry CClassFactory::kInterfaces[] = {
    FW_INTERFACE_ENTRY(CClassFactory, IClassFactory),
    FW_INTERFACE_TABLE_END,
};

}  // namespace

HRESULT QueryInterfaceFromTable(void* self, const InterfaceEntry* table, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const InterfaceEntry* e = table; e->iid; ++e) {
        if (IsEqualIID(riid, *e->iid) || (e == table && IsEqualIID(riid, IID_IUnknown))) {
            auto* itf = reinterpret_cast<IUnknown*>(static_cast<char*>(self) + e->offset);
            itf->AddRef();
            *ppv = itf;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

void SetModuleInstance(HINSTANCE instance) { s_instance = instance; }

HINSTANCE ModuleInstance() {
    if (!s_instance) s_instance = GetModuleHandleW(nullptr);  // linked into a program
    return s_instance;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameW(ModuleInstance(), path, static_cast<DWORD>(std::size(path)));
    return std::wstring(path, n < std::size(path) ? n : 0);
}

void LockModule() { InterlockedIncrement(&s_locks); }
void UnlockModule() { InterlockedDecrement(&s_locks); }
LONG ModuleLockCount() { return s_locks; }

HRESULT GetClassObject(const ClassEntry* table, REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (const ClassEntry* e = table; e->clsid; ++e) {
        if (!IsEqualCLSID(clsid, *e->clsid)) continue;
        auto* factory = new (std::nothrow) CClassFactory(*e);
        if (!factory) return E_OUTOFMEMORY;
        HRESULT hr = factory->QueryInterface(riid, ppv);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace fw
