// CNvAttCtrl: which pages may script the control, and which URLs it may send to or
// fetch from.
#include "control/NvAttCtrl.h"

#include "framework/Text.h"

namespace {

const wchar_t kErrorSource[] = L"NVATT.NvAttCtrl.1";

}  // namespace

// A container that never asks for safety and names no page is a desktop program, which
// runs code of its own anyway. Once a page URL is known, its origin decides.
HRESULT CNvAttCtrl::CheckCaller() {
    std::wstring page = PageUrl();
    if (page.empty() && !safetyRequested()) return S_OK;
    std::string refusal;
    HRESULT hr = m_siteLock.CheckPage(page, &refusal);
    return FAILED(hr) ? fw::ReportError(hr, kErrorSource, fw::AnsiToWide(refusal)) : S_OK;
}

HRESULT CNvAttCtrl::CheckTargetUrl(const std::string& url, std::string* refusal) {
    if (!safetyRequested() && PageUrl().empty()) return S_OK;
    std::string text;
    HRESULT hr = m_siteLock.CheckTarget(url, &text);
    if (SUCCEEDED(hr)) return S_OK;
    if (refusal) *refusal = text;
    return fw::ReportError(hr, kErrorSource, fw::AnsiToWide(text));
}
