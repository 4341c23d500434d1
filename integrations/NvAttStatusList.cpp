// CNvAttCtrl: the status list of an approval object (DoSignStatus, shown by the closed
// status library when the server's answer comes back) and the document-management
// plug-in's profile (DoChangeEDMProfile).
#include "control/NvAttCtrl.h"

#include <cstdlib>

#include "framework/ErrorMacros.h"
#include "integrations/CompanionErrors.h"
#include "integrations/CompanionLibrary.h"
#include "integrations/CompanionRules.h"
#include "transfer/UrlCoding.h"

namespace {

const char kStatusLibrary[] = "MertalDB.dll";
const char kPlugin[] = "VOZERUdo.dll";

using CDInitializeFn = void*(__cdecl*)(const char* answer, const char* fbUrl, HWND control);
using WDSetPostUrlPropertiesFn = int(__cdecl*)(void* handle, const char* submitUrl, const char* engineUrl, int, int);
using WDShowCurrrentStateListFn = int(__cdecl*)(void* handle, HWND control, const char* object);
using FDCleanupFn = void(__cdecl*)(void* handle);
using EDMSetVeduveWebExFn = int(__cdecl*)(const char* destination, const char* library, const char* empty,
                                          const char* profile, const char* groupAcl, int one, char** result,
                                          void** buffer);

template <class Fn>
Fn Entry(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The status library's windows live as long as the process, as they would had it been
// linked in: it is loaded once and never unloaded.
struct StatusLibrary {
    HMODULE module = nullptr;
    CDInitializeFn initialize = nullptr;
    WDSetPostUrlPropertiesFn setPostUrls = nullptr;
    WDShowCurrrentStateListFn showList = nullptr;
    FDCleanupFn cleanup = nullptr;
};

const StatusLibrary* LoadStatusLibrary() {
    static StatusLibrary s_library;
    if (s_library.module) return &s_library;
    fw::UniqueHModule module = LoadCompanionLibrary(kStatusLibrary);
    if (!module) return nullptr;
    StatusLibrary library;
    library.initialize = Entry<CDInitializeFn>(module.get(), "CDInitialize");
    library.setPostUrls = Entry<WDSetPostUrlPropertiesFn>(module.get(), "WDSetPostUrlProperties");
    library.showList = Entry<WDShowCurrrentStateListFn>(module.get(), "WDShowCurrrentStateList");
    library.cleanup = Entry<FDCleanupFn>(module.get(), "FDCleanup");
    if (!library.initialize || !library.setPostUrls || !library.showList || !library.cleanup) return nullptr;
    library.module = module.release();
    s_library = library;
    return &s_library;
}

}  // namespace

HRESULT CNvAttCtrl::DoSignStatus(const std::string& status) {
    if (m_bRequestBusy) return S_OK;  // one request of m_httpGet at a time
    if (!m_hWnd) return RefuseCompanionInput("DoSignStatus needs the control's window for the answer");
    // Without the library no answer could be shown: nothing is asked.
    if (!LoadStatusLibrary()) return S_OK;
    std::string url = m_strFbUrl + "GetMasterID.asp?obj=" + UrlEncodeQueryValue(status);
    RETURN_IF_FAILED(CheckTargetUrl(url));
    m_strStatusObj = status;
    ArmNotifyRequest(kCodeStatusList);
    // The answer arrives as WM_COPYDATA 14 (ShowStatusList).
    m_httpGet.Submit(url, m_hWnd);
    return S_OK;
}

void CNvAttCtrl::ShowStatusList(const std::string& answer) {
    SetCursor(m_hPrevCursor);
    m_bRequestBusy = 0;
    const StatusLibrary* library = LoadStatusLibrary();
    if (!library || answer.empty()) return;
    void* handle = library->initialize(answer.c_str(), m_strFbUrl.c_str(), m_hWnd);
    if (!handle) return;
    library->setPostUrls(handle, m_strSubmitURL.c_str(), m_strEngineURL.c_str(), 0, 0);
    library->showList(handle, m_hWnd, m_strStatusObj.c_str());
    library->cleanup(handle);
}

HRESULT CNvAttCtrl::DoChangeEDMProfile(const std::string& szDST, const std::string& szLibrary, bool,
                                       const std::string&, bool* result) {
    if (!IsSafeUserId(m_strUserID)) return RefuseUnsafeId("UserID");
    *result = true;
    fw::UniqueHModule plugin = LoadCompanionLibrary(kPlugin);
    if (!plugin) return S_OK;
    auto setProfile = Entry<EDMSetVeduveWebExFn>(plugin.get(), "EDMSetVeduveWebEx");
    if (!setProfile) return S_OK;
    const std::string profile = m_strUserID + '\b' + m_strUserPass + '\b' + m_strUserName + '\b' + m_strUserDeptName;
    char* text = nullptr;
    void* buffer = nullptr;
    int rc = setProfile(szDST.c_str(), szLibrary.c_str(), "", profile.c_str(), m_strGroupAcl.c_str(), 1, &text, &buffer);
    if (rc == 1) {
        if (text) m_strEdmProfile = text;
    } else if (buffer) {
        free(buffer);  // the plug-in allocates with the same C runtime
    }
    return S_OK;
}
