// CNvAttPropPage: the control's one property page ("General"), opened by the properties verb.
#include "control/NvAttPropPage.h"

#include <new>

#include "control/NvAttIds.h"
#include "framework/ErrorMacros.h"
#include "framework/ExceptionBoundary.h"
#include "framework/Module.h"
#include "framework/Registration.h"
#include "res/resource.h"

namespace {

// The page template's size in dialog units.
constexpr int kPageWidthDlu = 250;
constexpr int kPageHeightDlu = 62;

INT_PTR CALLBACK PageProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

}  // namespace

const fw::InterfaceEntry CNvAttPropPage::kInterfaces[] = {
    FW_INTERFACE_ENTRY(CNvAttPropPage, IPropertyPage),
    FW_INTERFACE_TABLE_END,
};

HRESULT CNvAttPropPage::Create(REFIID riid, void** ppv) {
    auto* page = new (std::nothrow) CNvAttPropPage();
    if (!page) return E_OUTOFMEMORY;
    HRESULT hr = page->QueryInterface(riid, ppv);
    page->Release();
    return hr;
}

HRESULT CNvAttPropPage::RegisterClass() {
    return fw::RegisterPropertyPageClass(CLSID_NvAttPropPage, L"NVATT.NvAttPropPage.1", IDS_NVATT_PPG);
}

HRESULT CNvAttPropPage::UnregisterClass() {
    return fw::UnregisterClass(CLSID_NvAttPropPage, L"NVATT.NvAttPropPage.1");
}

CNvAttPropPage::~CNvAttPropPage() {
    if (m_hWnd) DestroyWindow(m_hWnd);
}

STDMETHODIMP CNvAttPropPage::SetPageSite(IPropertyPageSite* site) {
    m_site.reset(site);
    if (site) site->AddRef();
    return S_OK;
}

STDMETHODIMP CNvAttPropPage::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (m_hWnd) return E_UNEXPECTED;
    m_hWnd = CreateDialogParamA(fw::ModuleInstance(), MAKEINTRESOURCEA(IDD_PROPPAGE_NVATT), parent,
                                &PageProc, 0);
    if (!m_hWnd) return E_FAIL;
    if (rect) Move(rect);
    return S_OK;
}

STDMETHODIMP CNvAttPropPage::Deactivate() {
    if (m_hWnd) DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    return S_OK;
}

STDMETHODIMP CNvAttPropPage::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    std::wstring title;
    RETURN_IF_FAILED(fw::CallNoThrow([&] {
        title = fw::LoadResourceString(IDS_NVATT_PPG_CAPTION);
        return S_OK;
    }));
    info->cb = sizeof(*info);
    info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc((title.size() + 1) * sizeof(wchar_t)));
    if (!info->pszTitle) return E_OUTOFMEMORY;
    wcscpy(info->pszTitle, title.c_str());
    LONG units = GetDialogBaseUnits();
    info->size.cx = MulDiv(kPageWidthDlu, LOWORD(units), 4);
    info->size.cy = MulDiv(kPageHeightDlu, HIWORD(units), 8);
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return S_OK;
}

STDMETHODIMP CNvAttPropPage::SetObjects(ULONG count, IUnknown** objects) {
    m_objects.clear();
    return fw::CallNoThrow([&] {
        for (ULONG i = 0; i < count; ++i) m_objects.emplace_back(objects[i]);
        return S_OK;
    });
}

STDMETHODIMP CNvAttPropPage::Show(UINT cmdShow) {
    if (!m_hWnd) return E_UNEXPECTED;
    ShowWindow(m_hWnd, cmdShow);
    return S_OK;
}

STDMETHODIMP CNvAttPropPage::Move(LPCRECT rect) {
    if (!m_hWnd) return E_UNEXPECTED;
    if (!rect) return E_POINTER;
    MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

// The page shows no settings, so it never has changes to apply.
STDMETHODIMP CNvAttPropPage::IsPageDirty() { return S_FALSE; }
STDMETHODIMP CNvAttPropPage::Apply() { return S_OK; }
STDMETHODIMP CNvAttPropPage::Help(LPCOLESTR) { return E_NOTIMPL; }

STDMETHODIMP CNvAttPropPage::TranslateAccelerator(MSG* msg) {
    if (!msg) return E_POINTER;
    return (m_hWnd && IsDialogMessageA(m_hWnd, msg)) ? S_OK : S_FALSE;
}
