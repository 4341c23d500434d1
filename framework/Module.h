// The in-process server's module: its instance handle, lock count and class table.
#pragma once

#include <windows.h>
#include <string>

namespace fw {

void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();
// Full path of the module file (the .ocx, or the test program when linked in).
std::wstring ModulePath();

void LockModule();
void UnlockModule();
LONG ModuleLockCount();

// One creatable class of the module.
struct ClassEntry {
    const CLSID* clsid;
    HRESULT (*create)(REFIID riid, void** ppv);
    HRESULT (*registerClass)();
    HRESULT (*unregisterClass)();
};

// DllGetClassObject over a table ending with a null clsid.
HRESULT GetClassObject(const ClassEntry* table, REFCLSID clsid, REFIID riid, void** ppv);

}  // namespace fw
