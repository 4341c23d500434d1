// The NVATT.OCX module: entry points of the in-process server and self-registration.
#include <windows.h>
#include <olectl.h>

#include "control/NvAttCtrl.h"
#include "control/NvAttIds.h"
#include "control/NvAttPropPage.h"
#include "framework/ExceptionBoundary.h"
#include "framework/Module.h"
#include "framework/Registration.h"

namespace {

const fw::ClassEntry kClasses[] = {
    {&CLSID_NvAtt, &CNvAttCtrl::Create, &CNvAttCtrl::RegisterClass, &CNvAttCtrl::UnregisterClass},
    {&CLSID_NvAttPropPage, &CNvAttPropPage::Create, &CNvAttPropPage::RegisterClass,
     &CNvAttPropPage::UnregisterClass},
    {nullptr, nullptr, nullptr, nullptr},
};

// Registration may run in a process that has not initialised COM (the category
// manager needs it).
class ComScope {
public:
    ComScope() : m_hr(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(m_hr)) CoUninitialize();
    }

private:
    HRESULT m_hr;
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        fw::SetModuleInstance(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    return fw::GetClassObject(kClasses, clsid, riid, ppv);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return fw::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
    ComScope com;
    if (FAILED(fw::CallNoThrow(&fw::RegisterModuleTypeLib))) return SELFREG_E_TYPELIB;
    for (const fw::ClassEntry* c = kClasses; c->clsid; ++c) {
        if (FAILED(fw::CallNoThrow(c->registerClass))) return SELFREG_E_CLASS;
    }
    return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    ComScope com;
    auto unregisterTypeLib = [] { return fw::UnregisterModuleTypeLib(LIBID_NVATTLib, kNvAttLibMajor, kNvAttLibMinor); };
    if (FAILED(fw::CallNoThrow(unregisterTypeLib))) return SELFREG_E_TYPELIB;
    for (const fw::ClassEntry* c = kClasses; c->clsid; ++c) {
        if (FAILED(fw::CallNoThrow(c->unregisterClass))) return SELFREG_E_CLASS;
    }
    return S_OK;
}
