// Loads NVATT.OCX into a test process and reaches its entry points and classes.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "framework/ComPtr.h"

class OcxModule {
public:
    OcxModule();
    ~OcxModule();
    bool loaded() const { return m_module != nullptr; }
    HRESULT RegisterServer();
    HRESULT UnregisterServer();
    HRESULT CanUnloadNow();
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);
    // A new control, straight from the module's class factory (no registration needed).
    HRESULT CreateControl(REFIID riid, void** ppv);

private:
    HMODULE m_module = nullptr;
};

// Path of the module under test, as Wine sees it.
const wchar_t* OcxPath();
