// CNvAttCtrl: archiving a server folder: the list command that saves items into a scratch
// file and registers each with the server, the batch save to the user's disk, and the
// choice of a local folder.
#include "control/NvAttCtrl.h"

#include <shlobj.h>

#include "archive/ArchiveRules.h"
#include "download/InternetSession.h"
#include "framework/ErrorMacros.h"
#include "framework/Text.h"
#include "framework/UniqueHandle.h"
#include "res/Texts.h"

namespace {

const wchar_t kErrorSource[] = L"NVATT.NvAttCtrl.1";
const char kScratchFolder[] = "C:\\VelaWare";
const char kMailScratchName[] = "savemail.pcm2";
// The batch page's list is kept in memory; a folder's list is far below this.
constexpr size_t kMaxBatchListBytes = 16 * 1024 * 1024;

// Sets a flag for a scope and clears it on every way out, exceptions included.
template <class Flag>
class FlagScope {
public:
    explicit FlagScope(Flag& flag) : m_flag(flag) { m_flag = Flag(1); }
    ~FlagScope() { m_flag = Flag(0); }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    Flag& m_flag;
};

// Deletes a file when the scope ends.
class FileScope {
public:
    explicit FileScope(std::string path) : m_path(std::move(path)) {}
    ~FileScope() { DeleteFileA(m_path.c_str()); }
    FileScope(const FileScope&) = delete;
    FileScope& operator=(const FileScope&) = delete;

private:
    std::string m_path;
};

HRESULT FileLength(const std::string& path, uint64_t* length) {
    fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()), !file);
    LARGE_INTEGER size = {};
    RETURN_IF_WIN32_BOOL_FALSE(GetFileSizeEx(file.get(), &size));
    *length = static_cast<uint64_t>(size.QuadPart);
    return S_OK;
}

}  // namespace

HRESULT CNvAttCtrl::RefuseWhileBusy(bool requestToo) {
    if (m_bArchiving || (requestToo && m_bRequestBusy))
        return fw::ReportError(HRESULT_FROM_WIN32(ERROR_BUSY), kErrorSource,
                               L"the control is still archiving or waiting for the server; try again when it is done");
    return S_OK;
}

HRESULT CNvAttCtrl::DoSaveListMailDB(const std::string& strFolID) {
    return ArchiveMailList(strFolID);
}

HRESULT CNvAttCtrl::DoSaveListSignDB(const std::string& strFolID) {
    RETURN_IF_FAILED(RefuseWhileBusy(true));
    // This control writes no sign documents: registering one would upload whatever an
    // earlier save left at the scratch path under the new identifier.
    if (!SplitIdList(strFolID).empty())
        return fw::ReportError(E_NOTIMPL, kErrorSource,
                               L"DoSaveListSignDB cannot write sign documents in this version of the control; "
                               L"nothing was registered");
    ShowMessage(texts::kArchiveDone, MB_ICONINFORMATION);
    return S_OK;
}

HRESULT CNvAttCtrl::ArchiveMailList(const std::string& ids) {
    auto keep = KeepAlive();
    RETURN_IF_FAILED(RefuseWhileBusy(true));
    FlagScope<bool> archiving(m_bArchiving);
    CreateDirectoryA("C:\\VelaWare\\", nullptr);  // an existing folder is fine
    const std::string path = std::string(kScratchFolder) + "\\" + kMailScratchName;
    // Nothing of the last item stays behind in the scratch file.
    FileScope scratch(path);
    std::string skipped;
    for (const std::string& id : SplitIdList(ids)) {
        if (!m_hWnd) break;
        // A file left by an earlier item is never registered under this one.
        DeleteFileA(path.c_str());
        if (!WriteMessageFile(path, kMailScratchName, kScratchFolder, id)) {
            skipped += id + "\n";
            continue;
        }
        if (!m_hWnd) break;
        uint64_t length = 0;
        HRESULT hr = FileLength(path, &length);
        if (FAILED(hr))
            return fw::ReportError(hr, kErrorSource, L"the saved item " + fw::AnsiToWide(id) + L" cannot be read");
        m_strMailFile = path;
        hr = RegisterMail(id, length);
        RETURN_IF_FAILED(hr);  // fburl refused: nothing can be registered
        if (hr == S_FALSE) return RefuseWhileBusy(true);  // another request took m_httpGet meanwhile
        WaitForRegistration();
    }
    if (!m_hWnd)
        return fw::ReportError(E_ABORT, kErrorSource, L"the control was closed before the list was archived");
    if (!skipped.empty()) ShowMessage(texts::kItemsNotArchived + skipped, MB_ICONEXCLAMATION);
    ShowMessage(texts::kArchiveDone, MB_ICONINFORMATION);
    FireClose();
    return S_OK;
}

void CNvAttCtrl::WaitForRegistration() {
    if (m_nRegisterCode) {  // the answer has not come yet
        SetFocus(m_hWnd);
        m_bBusyShown = 1;
        m_busyDlg.DoModal();
        if (m_hWnd) SetFocus(m_hWnd);
    }
    // The user closed the popup, or the window went with it: the request goes too, so a
    // late answer never uploads the file that the next item rewrites.
    if (m_nRegisterCode) {
        m_httpGet.Close();
        EndRegistration();
    }
    m_bBusyShown = 0;
}

HRESULT CNvAttCtrl::DoSaveBatchMail(const std::string& szMsgIDs, const std::string& szType,
                                    const std::string& szStart, const std::string& szEnd, bool* result) {
    auto keep = KeepAlive();
    RETURN_IF_FAILED(RefuseWhileBusy(false));
    FlagScope<bool> archiving(m_bArchiving);
    // The message file writer asks for batch copies while this runs, and only then.
    FlagScope<int> batch(m_bBatchSave);
    const std::string url = m_strBatchURL + "?folder=" + szMsgIDs + "&start=" + szStart + "&end=" + szEnd;
    RETURN_IF_FAILED(CheckTargetUrl(url));
    std::string answer;
    HRESULT failure = S_OK;
    switch (ReadUrlText(url, kMaxBatchListBytes, &answer, &failure)) {
    case UrlTextOutcome::kNotReached:
        // No list: there is nothing to save, so no save dialog follows.
        ShowApplicationMessage(texts::kInternetAccessError);
        *result = true;
        return S_OK;
    case UrlTextOutcome::kBrokeOff:
        return fw::ReportError(failure, kErrorSource, L"the list of the folder's messages broke off");
    case UrlTextOutcome::kRead:
        break;
    }
    bool saved = false;
    RETURN_IF_FAILED(DoSaveLocal(BatchIdList(answer), szType, &saved));
    if (saved) ShowMessage(texts::kBatchSaveDone, MB_ICONINFORMATION);
    *result = true;
    return S_OK;
}

HRESULT CNvAttCtrl::DoSetLocalPath(const std::string&, std::string* result) {
    auto keep = KeepAlive();
    result->clear();
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.pszDisplayName = displayName;
    info.lpszTitle = texts::kLocalFolderTitle;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
    if (!chosen) return S_OK;
    char path[MAX_PATH] = {};
    if (SHGetPathFromIDListA(chosen, path)) *result = path;
    CoTaskMemFree(chosen);
    return S_OK;
}
