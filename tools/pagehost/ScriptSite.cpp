// Runs a page's JScript through the Windows Script engine with named objects.
#include "tools/pagehost/ScriptSite.h"

#include "framework/ErrorMacros.h"

namespace {
// mingw's import library lacks these two interface ids.
#ifdef _WIN64
using ScriptParse = IActiveScriptParse64;
const IID IID_ScriptParse = {0xc7ef7658, 0xe1ee, 0x480e, {0x97, 0xea, 0xd5, 0x2c, 0xb4, 0xd7, 0x6d, 0x17}};
#else
using ScriptParse = IActiveScriptParse32;
const IID IID_ScriptParse = {0xbb1a2ae2, 0xa4f9, 0x11cf, {0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64}};
#endif
}  // namespace

const fw::InterfaceEntry CScriptSite::kInterfaces[] = {
    FW_INTERFACE_ENTRY_IID(CScriptSite, IID_IActiveScriptSite, IActiveScriptSite),
    FW_INTERFACE_ENTRY_IID(CScriptSite, IID_IActiveScriptSiteWindow, IActiveScriptSiteWindow),
    FW_INTERFACE_TABLE_END,
};

void CScriptSite::AddNamedItem(const std::wstring& name, IUnknown* object) {
    m_items.emplace_back(name, fw::ComPtr<IUnknown>(object));
}

HRESULT CScriptSite::Run(const std::wstring& source, const std::wstring& fileName) {
    m_fileName = fileName;
    CLSID jscript;
    RETURN_IF_FAILED(CLSIDFromProgID(L"JScript", &jscript));
    RETURN_IF_FAILED(CoCreateInstance(jscript, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                                      m_engine.put_void()));
    fw::ComPtr<ScriptParse> parse;
    RETURN_IF_FAILED(m_engine->QueryInterface(IID_ScriptParse, parse.put_void()));
    RETURN_IF_FAILED(m_engine->SetScriptSite(this));
    RETURN_IF_FAILED(parse->InitNew());
    for (const auto& item : m_items)
        RETURN_IF_FAILED(m_engine->AddNamedItem(item.first.c_str(), SCRIPTITEM_ISVISIBLE));
    RETURN_IF_FAILED(m_engine->SetScriptState(SCRIPTSTATE_STARTED));
    EXCEPINFO info = {};
    HRESULT hr = parse->ParseScriptText(source.c_str(), nullptr, nullptr, nullptr, 0, 0,
                                        SCRIPTTEXT_ISVISIBLE, nullptr, &info);
    if (FAILED(hr)) return hr;
    return m_hadError ? E_FAIL : S_OK;
}

bool CScriptSite::CallFunction(const std::wstring& name, DISPPARAMS* params) {
    if (!m_engine) return false;
    fw::ComPtr<IDispatch> global;
    if (FAILED(m_engine->GetScriptDispatch(nullptr, global.put()))) return false;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(global->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info = {};
    HRESULT hr = global->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params, &result, &info, nullptr);
    VariantClear(&result);
    if (hr == DISP_E_EXCEPTION) {
        m_onError(name + L": " + (info.bstrDescription ? info.bstrDescription : L"exception"));
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }
    return true;
}

void CScriptSite::Close() {
    if (m_engine) {
        m_engine->Close();
        m_engine.reset();
    }
    m_items.clear();
}

STDMETHODIMP CScriptSite::GetLCID(LCID* lcid) {
    if (!lcid) return E_POINTER;
    *lcid = GetUserDefaultLCID();
    return S_OK;
}

STDMETHODIMP CScriptSite::GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) {
    if (item) *item = nullptr;
    if (info) *info = nullptr;
    for (const auto& entry : m_items) {
        if (entry.first != name) continue;
        if ((mask & SCRIPTINFO_IUNKNOWN) && item) entry.second.CopyTo(item);
        if ((mask & SCRIPTINFO_ITYPEINFO) && info) {
            fw::ComPtr<IProvideClassInfo> classInfo;
            if (SUCCEEDED(entry.second->QueryInterface(IID_IProvideClassInfo, classInfo.put_void())))
                classInfo->GetClassInfo(info);
        }
        return S_OK;
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

STDMETHODIMP CScriptSite::GetDocVersionString(BSTR* version) {
    if (version) *version = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CScriptSite::OnScriptError(IActiveScriptError* error) {
    m_hadError = true;
    EXCEPINFO info = {};
    DWORD context = 0;
    ULONG line = 0;
    LONG column = 0;
    error->GetExceptionInfo(&info);
    error->GetSourcePosition(&context, &line, &column);
    std::wstring message = m_fileName + L":" + std::to_wstring(line + 1) + L": " +
                           (info.bstrDescription ? info.bstrDescription : L"script error") + L" (0x";
    wchar_t code[16];
    swprintf(code, 16, L"%08lX", static_cast<unsigned long>(info.scode));
    message += code;
    message += L")";
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    m_onError(message);
    return S_OK;
}

STDMETHODIMP CScriptSite::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = m_window;
    return S_OK;
}
