// Loads NVATT.OCX into a test process and reaches its entry points and classes.
#include "tests/control/OcxModule.h"

#include <string>

#include "control/NvAttIds.h"
#include "framework/Text.h"

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
    auto fn = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(m_module, "DllRegisterServer"));
    return fn ? fn() : E_NOTIMPL;
}

HRESULT OcxModule::UnregisterServer() {
    auto fn = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(m_module, "DllUnregisterServer"));
    return fn ? fn() : E_NOTIMPL;
}

HRESULT OcxModule::CanUnloadNow() {
    auto fn = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(m_module, "DllCanUnloadNow"));
    return fn ? fn() : E_NOTIMPL;
}

HRESULT OcxModule::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    auto fn = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
        GetProcAddress(m_module, "DllGetClassObject"));
    return fn ? fn(clsid, riid, ppv) : E_NOTIMPL;
}

HRESULT OcxModule::CreateControl(REFIID riid, void** ppv) {
    fw::ComPtr<IClassFactory> factory;
    HRESULT hr = GetClassObject(CLSID_NvAtt, IID_IClassFactory, factory.put_void());
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(nullptr, riid, ppv);
}
