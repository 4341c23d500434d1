// Self-registration of the module's classes, type library and component categories.
#include "framework/Registration.h"

#include <comcat.h>

#include "framework/ComPtr.h"
#include "framework/ErrorMacros.h"
#include "framework/Module.h"
#include "framework/UniqueHandle.h"

namespace fw {
namespace {

#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
#endif

ITypeLib* s_typeLib = nullptr;  // kept for the module's life once loaded

HRESULT SetKeyValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    UniqueHKey hkey;
    RETURN_IF_WIN32_ERROR(RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0,
                                          KEY_WRITE, nullptr, hkey.put(), nullptr));
    RETURN_IF_WIN32_ERROR(RegSetValueExW(hkey.get(), name, 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
    return S_OK;
}

HRESULT DeleteTree(const std::wstring& key) {
    LONG err = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (err == ERROR_SUCCESS) err = RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_SUCCESS) return S_OK;
    return HRESULT_FROM_WIN32(err);
}

HRESULT RegisterServerClass(const CLSID& clsid, const wchar_t* progId, const std::wstring& typeName) {
    std::wstring clsidKey = L"CLSID\\" + GuidString(clsid);
    RETURN_IF_FAILED(SetKeyValue(clsidKey, nullptr, typeName));
    RETURN_IF_FAILED(SetKeyValue(clsidKey + L"\\InprocServer32", nullptr, ModulePath()));
    RETURN_IF_FAILED(SetKeyValue(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"));
    RETURN_IF_FAILED(SetKeyValue(clsidKey + L"\\ProgID", nullptr, progId));
    RETURN_IF_FAILED(SetKeyValue(progId, nullptr, typeName));
    RETURN_IF_FAILED(SetKeyValue(std::wstring(progId) + L"\\CLSID", nullptr, GuidString(clsid)));
    return S_OK;
}

}  // namespace

std::wstring LoadResourceString(UINT id) {
    const wchar_t* text = nullptr;
    int n = LoadStringW(ModuleInstance(), id, reinterpret_cast<wchar_t*>(&text), 0);
    return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

std::wstring GuidString(const GUID& guid) {
    wchar_t text[40];
    int n = StringFromGUID2(guid, text, 40);
    return std::wstring(text, n > 0 ? n - 1 : 0);
}

HRESULT LoadModuleTypeLib(ITypeLib** typeLib) {
    if (!typeLib) return E_POINTER;
    *typeLib = nullptr;
    if (!s_typeLib) RETURN_IF_FAILED(LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &s_typeLib));
    s_typeLib->AddRef();
    *typeLib = s_typeLib;
    return S_OK;
}

HRESULT GetModuleTypeInfo(REFGUID guid, ITypeInfo** typeInfo) {
    if (!typeInfo) return E_POINTER;
    *typeInfo = nullptr;
    ComPtr<ITypeLib> lib;
    RETURN_IF_FAILED(LoadModuleTypeLib(lib.put()));
    return lib->GetTypeInfoOfGuid(guid, typeInfo);
}

HRESULT RegisterModuleTypeLib() {
    ComPtr<ITypeLib> lib;
    std::wstring path = ModulePath();
    RETURN_IF_FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.put()));
    return RegisterTypeLib(lib.get(), &path[0], nullptr);
}

HRESULT UnregisterModuleTypeLib(const GUID& libid, WORD major, WORD minor) {
    return UnRegisterTypeLib(libid, major, minor, 0, kSysKind);
}

HRESULT RegisterControlClass(const ControlClassInfo& info) {
    std::wstring clsidKey = L"CLSID\\" + GuidString(*info.clsid);
    RETURN_IF_FAILED(RegisterServerClass(*info.clsid, info.progId, LoadResourceString(info.typeNameId)));
    RETURN_IF_FAILED(SetKeyValue(clsidKey + L"\\Insertable", nullptr, L""));
    RETURN_IF_FAILED(SetKeyValue(clsidKey + L"\\Control", nullptr, L""));
    RETURN_IF_FAILED(SetKeyValue(clsidKey + L"\\ToolboxBitmap32", nullptr,
                                 ModulePath() + L", " + std::to_wstring(info.toolboxBitmapId)));
    RETURN_IF_FAILED(SetKeyValue(clsidKey + L"\\MiscStatus", nullptr, L"0"));
    RETURN_IF_FAILED(SetKeyValue(clsidKey + L"\\MiscStatus\\1", nullptr, std::to_wstring(info.miscStatus)));
    RETURN_IF_FAILED(SetKeyValue(clsidKey + L"\\TypeLib", nullptr, GuidString(*info.libid)));
    RETURN_IF_FAILED(SetKeyValue(clsidKey + L"\\Version", nullptr,
                                 std::to_wstring(info.libMajor) + L"." + std::to_wstring(info.libMinor)));
    return S_OK;
}

HRESULT RegisterPropertyPageClass(const CLSID& clsid, const wchar_t* progId, UINT typeNameId) {
    return RegisterServerClass(clsid, progId, LoadResourceString(typeNameId));
}

HRESULT UnregisterClass(const CLSID& clsid, const wchar_t* progId) {
    RETURN_IF_FAILED(DeleteTree(L"CLSID\\" + GuidString(clsid)));
    return DeleteTree(progId);
}

HRESULT RegisterImplementedCategory(const CLSID& clsid, const CATID& catid, const wchar_t* description) {
    ComPtr<ICatRegister> categories;
    RETURN_IF_FAILED(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_ICatRegister, categories.put_void()));
    CATEGORYINFO info = {};
    info.catid = catid;
    info.lcid = 0x409;
    wcsncpy(info.szDescription, description, 127);  // the field holds 127 characters
    info.szDescription[127] = L'\0';
    RETURN_IF_FAILED(categories->RegisterCategories(1, &info));
    CATID ids[] = {catid};
    return categories->RegisterClassImplCategories(clsid, 1, ids);
}

}  // namespace fw
