// Runs a page's JScript through the Windows Script engine with named objects.
#pragma once

#include <activscp.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/ComObject.h"
#include "framework/ComPtr.h"

class CScriptSite final : public IActiveScriptSite, public IActiveScriptSiteWindow {
public:
    using ErrorHandler = std::function<void(const std::wstring& message)>;

    static CScriptSite* Create(HWND window, ErrorHandler onError) {
        return new CScriptSite(window, std::move(onError));
    }

    // Makes `object` visible to the script under `name`.
    void AddNamedItem(const std::wstring& name, IUnknown* object);
    // Starts JScript, runs the page text to its end; S_OK when it ran without an error.
    HRESULT Run(const std::wstring& source, const std::wstring& fileName);
    // Calls a global function of the page if it defines one; false when it does not.
    bool CallFunction(const std::wstring& name, DISPPARAMS* params);
    void Close();

    FW_IMPLEMENT_IUNKNOWN()

    // IActiveScriptSite
    STDMETHODIMP GetLCID(LCID* lcid) override;
    STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) override;
    STDMETHODIMP GetDocVersionString(BSTR* version) override;
    STDMETHODIMP OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    STDMETHODIMP OnStateChange(SCRIPTSTATE) override { return S_OK; }
    STDMETHODIMP OnScriptError(IActiveScriptError* error) override;
    STDMETHODIMP OnEnterScript() override { return S_OK; }
    STDMETHODIMP OnLeaveScript() override { return S_OK; }

    // IActiveScriptSiteWindow
    STDMETHODIMP GetWindow(HWND* hwnd) override;
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

private:
    CScriptSite(HWND window, ErrorHandler onError) : m_window(window), m_onError(std::move(onError)) {}

    static const fw::InterfaceEntry kInterfaces[];
    fw::RefCount m_refs;
    HWND m_window;
    ErrorHandler m_onError;
    std::wstring m_fileName;
    std::vector<std::pair<std::wstring, fw::ComPtr<IUnknown>>> m_items;
    fw::ComPtr<IActiveScript> m_engine;
    bool m_hadError = false;
};
