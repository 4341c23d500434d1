// Loads NVATT.OCX into a test process and reaches its entry points and classes.
#include "tests/control/OcxModule.h"

#include <string>

#include "control/NvAttIds.h"
#include "framework/Text.h"

namespace {

template <class Fn>
Fn Export(HMODULE module, const char* name) {
    // Through a generic function pointer: FARPROC's own signature is no one's.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

const wchar_t* OcxPath() {
    static std::wstring path = [] {
        std::wstring p = L"Z:" + fw::AnsiToWide(NVATT_OCX_PATH);
        for (wchar_t& c : p) {
            if (c == L'/') c = L'\\';
        }
        return p;
    }();
    return path.c_str();
}

OcxModule::OcxModule() : m_module(LoadLibraryW(OcxPath())) {}

OcxModule::~OcxModule() {
    if (m_module) FreeLibrary(m_module);
}

HRESULT OcxModule::RegisterServer() {
    auto fn = Export<HRESULT(WINAPI*)()>(m_module, "DllRegisterServer");
    return fn ? fn() : E_NOTIMPL;
}

HRESULT OcxModule::UnregisterServer() {
    auto fn = Export<HRESULT(WINAPI*)()>(m_module, "DllUnregisterServer");
    return fn ? fn() : E_NOTIMPL;
}

HRESULT OcxModule::CanUnloadNow() {
    auto fn = Export<HRESULT(WINAPI*)()>(m_module, "DllCanUnloadNow");
    return fn ? fn() : E_NOTIMPL;
}

HRESULT OcxModule::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    auto fn = Export<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(m_module, "DllGetClassObject");
    return fn ? fn(clsid, riid, ppv) : E_NOTIMPL;
}

HRESULT OcxModule::CreateControl(REFIID riid, void** ppv) {
    fw::ComPtr<IClassFactory> factory;
    HRESULT hr = GetClassObject(CLSID_NvAtt, IID_IClassFactory, factory.put_void());
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(nullptr, riid, ppv);
}
