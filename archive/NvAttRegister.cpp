// CNvAttCtrl: registration of a saved item with the server's database. The request is
// asynchronous; its answer comes back to the control's window (WM_COPYDATA 15 or 21)
// and drives the upload of the item's file.
#include "control/NvAttCtrl.h"

#include "archive/ArchiveRules.h"
#include "framework/ErrorMacros.h"
#include "res/Texts.h"

namespace {

const char kApplicationTitle[] = "NVATT";
const char kMailPage[] = "SaveDBMailInfo.asp";
const char kSignPage[] = "SaveDBSignInfo.asp";

}  // namespace

HRESULT CNvAttCtrl::RegisterMail(const std::string& id, uint64_t size) {
    return Register(kCodeMailRegistered, kMailPage, id, size, 0);
}

HRESULT CNvAttCtrl::RegisterSign(const std::string& id, uint64_t size, short folderType) {
    return Register(kCodeSignRegistered, kSignPage, id, size, folderType);
}

HRESULT CNvAttCtrl::Register(unsigned code, const char* page, const std::string& id, uint64_t size,
                             short folderType) {
    if (m_bRequestBusy) return S_FALSE;  // one request of m_httpGet at a time
    const std::string url = m_strFbUrl + page;
    RETURN_IF_FAILED(CheckTargetUrl(url));
    ArmNotifyRequest(code);
    for (const auto& [name, value] : RegistrationFields(id, m_strFolderName, size, folderType))
        m_httpGet.AddField(name, value);
    m_nRegisterCode = code;
    // A request that cannot start answers at once, empty; the answer handling has then
    // already ended the registration.
    m_httpGet.Submit(url, m_hWnd);
    return S_OK;
}

void CNvAttCtrl::OnRegisterAnswer(unsigned code, const std::string& answer) {
    auto keep = KeepAlive();
    m_nRegisterCode = 0;  // this answer is the one awaited; another is not acted on
    if (answer.empty()) {
        // The request failed or the server said nothing: nothing was registered.
        MessageBoxA(MessageOwner(), texts::kNetworkUpdateFailed, texts::kUpdateCaption, MB_OK | MB_ICONEXCLAMATION);
    } else {
        RegisterAnswer read = ReadRegisterAnswer(code, answer);
        switch (read.outcome) {
        case RegisterOutcome::kUploadMail:
            m_strMailId = read.id;
            UploadMailFile();
            break;
        case RegisterOutcome::kUploadSign:
            m_strSignDocId = read.id;
            UploadSignFile();
            break;
        case RegisterOutcome::kQuotaExceeded:
            ShowApplicationMessage(texts::kStorageQuotaExceeded);
            break;
        case RegisterOutcome::kInsertFailed:
            ShowApplicationMessage(texts::kDbInsertFailed);
            break;
        case RegisterOutcome::kUnknown:
            ShowApplicationMessage(texts::kUnknownError);
            break;
        }
    }
    EndRegistration();
}

void CNvAttCtrl::EndRegistration() {
    m_nRegisterCode = 0;
    SetCursor(m_hPrevCursor);
    m_bRequestBusy = 0;
    // The popup ends as with OK when its window goes.
    if (m_bBusyShown && m_busyDlg.hwnd()) DestroyWindow(m_busyDlg.hwnd());
    m_bBusyShown = 0;
}

void CNvAttCtrl::UploadMailFile() {
    UploadSavedFile("mailID", m_strMailId, m_strMailFile, m_strMailSaveSQLServerUrl);
}

void CNvAttCtrl::UploadSignFile() {
    UploadSavedFile("signID", m_strSignDocId, m_strSavedFile, m_strSignSaveSQLServerUrl);
}

void CNvAttCtrl::UploadSavedFile(const char* idField, const std::string& id, const std::string& path,
                                 const std::string& url) {
    m_fileUpload.RemoveAll();
    m_fileUpload.AddField(idField, id);
    m_fileUpload.AddField("account", m_strUserID);
    m_fileUpload.AddFile("File1", path);
    // The progress window belongs to the popup, so the popup cannot be closed under it.
    const HWND owner = MessageOwner();
    m_fileUpload.SetOwnerWindow(owner);
    std::string shown = texts::kNetworkUpdateFailed;
    std::string refusal;
    int failed = 1;
    if (SUCCEEDED(CheckTargetUrl(url, &refusal))) failed = m_fileUpload.Submit(url);
    else shown += "\n" + refusal;
    // The server's reply is not examined: the registration stands either way.
    m_fileUpload.RemoveAll();
    if (failed) MessageBoxA(owner, shown.c_str(), texts::kUpdateCaption, MB_OK | MB_ICONEXCLAMATION);
}

void CNvAttCtrl::ShowApplicationMessage(const std::string& text) {
    MessageBoxA(MessageOwner(), text.c_str(), kApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
}

HWND CNvAttCtrl::MessageOwner() const {
    HWND popup = m_busyDlg.hwnd();
    return popup && IsWindow(popup) ? popup : m_hWnd;
}
