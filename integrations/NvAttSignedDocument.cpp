// CNvAttCtrl: DoOpenSaveSign, the request that names a signed document for the viewer.
#include "control/NvAttCtrl.h"

#include "framework/ErrorMacros.h"

HRESULT CNvAttCtrl::DoOpenSaveSign(const std::string& szID) {
    if (m_bRequestBusy) return S_OK;  // one request of m_httpGet at a time
    std::string url = m_strFbUrl + "GetPhysicalPath.asp?obj=" + szID;
    RETURN_IF_FAILED(CheckTargetUrl(url));
    ArmNotifyRequest(kCodeSignedDocument);
    // The answer arrives as WM_COPYDATA 22 and opens the document.
    m_httpGet.Submit(url, m_hWnd);
    return S_OK;
}
