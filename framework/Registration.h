// Self-registration of the module's classes, type library and component categories.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <comcat.h>

#include <string>

namespace fw {

struct ControlClassInfo {
    const CLSID* clsid;
    const wchar_t* progId;
    UINT typeNameId;       // string resource with the type name
    UINT toolboxBitmapId;  // bitmap resource
    DWORD miscStatus;
    const GUID* libid;
    WORD libMajor;
    WORD libMinor;
};

// The module's type library from its resources (cached) and one of its type infos.
HRESULT LoadModuleTypeLib(ITypeLib** typeLib);
HRESULT GetModuleTypeInfo(REFGUID guid, ITypeInfo** typeInfo);
HRESULT RegisterModuleTypeLib();
HRESULT UnregisterModuleTypeLib(const GUID& libid, WORD major, WORD minor);

// Class keys, ProgID, in-process server with the apartment model, insertable, control,
// toolbox bitmap, misc status, type library and version.
HRESULT RegisterControlClass(const ControlClassInfo& info);
HRESULT RegisterPropertyPageClass(const CLSID& clsid, const wchar_t* progId, UINT typeNameId);
// Removes the class key and its ProgID; category registrations are left alone.
HRESULT UnregisterClass(const CLSID& clsid, const wchar_t* progId);
// Creates the category (English description) and marks the class as implementing it.
HRESULT RegisterImplementedCategory(const CLSID& clsid, const CATID& catid, const wchar_t* description);

std::wstring LoadResourceString(UINT id);
std::wstring GuidString(const GUID& guid);

}  // namespace fw
