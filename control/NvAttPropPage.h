// CNvAttPropPage: the control's one property page ("General"), opened by the properties verb.
#pragma once

#include <ocidl.h>

#include <vector>

#include "framework/ComObject.h"
#include "framework/ComPtr.h"

class CNvAttPropPage final : public IPropertyPage {
public:
    static HRESULT Create(REFIID riid, void** ppv);
    static HRESULT RegisterClass();
    static HRESULT UnregisterClass();

    FW_IMPLEMENT_IUNKNOWN()

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT cmdShow) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDir) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg) override;

private:
    CNvAttPropPage() = default;
    ~CNvAttPropPage();

    static const fw::InterfaceEntry kInterfaces[];
    fw::RefCount m_refs;
    fw::ComPtr<IPropertyPageSite> m_site;
    std::vector<fw::ComPtr<IUnknown>> m_objects;
    HWND m_hWnd = nullptr;
};
