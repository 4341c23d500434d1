// CNvAttCtrl: downloading attachments to open or save them, and the script methods that
// do it by record key (DownLoadAttach, DownLoadFile) or by sign id (DownLoadSign...).
#include "control/NvAttCtrl.h"

#include <commdlg.h>

#include <vector>

#include "attach/Cp949Text.h"
#include "download/DownloadDlg.h"
#include "download/OpenRules.h"
#include "download/PartFile.h"
#include "framework/ErrorMacros.h"
#include "framework/TempFolder.h"
#include "framework/Text.h"
#include "res/Texts.h"
#include "submit/ReceiveWFAttach.h"
#include "transfer/HexCodec.h"

namespace {

const wchar_t kErrorSource[] = L"NVATT.NvAttCtrl.1";
constexpr DWORD kSaveNameBuffer = 1024;

// The text up to the last whole character that leaves room for the terminating zero.
std::string FitBuffer(const std::string& text, std::size_t size) {
    std::size_t end = 0;
    while (end < text.size() && end + Cp949CharLength(text, end) < size) end += Cp949CharLength(text, end);
    return text.substr(0, end);
}

// The window a download was owned by is still there (or there was none).
bool StillThere(HWND owner) { return !owner || IsWindow(owner); }

// The record key of a script method's index, or an error for script: nothing is requested.
HRESULT RecordKeyOf(const std::string& list, short index, std::string* key) {
    if (ListElement(list, index, key)) return S_OK;
    return fw::ReportError(DISP_E_BADINDEX, kErrorSource,
                           L"recordkeylist has no element " + std::to_wstring(index));
}

}  // namespace

INT_PTR CNvAttCtrl::RunDownload(HWND owner, const AttachFetch& fetch, const std::string& savePath,
                                const std::string& partPath, std::string* written) {
    CDownloadDlg dialog(owner);
    dialog.m_strUrl = fetch.url;
    dialog.m_strFileName = fetch.name;
    dialog.m_strSizeHint = fetch.sizeHint;
    dialog.m_strSavePath = savePath;
    dialog.m_strPartPath = partPath;
    dialog.m_strTitle = m_strCaption;
    INT_PTR result = dialog.DoModal();
    if (written) *written = dialog.m_strSavePath;
    return result;
}

void CNvAttCtrl::ShowFailure(HWND owner, const char* format, const std::string& value) {
    MessageBoxA(owner, FillIn(format, value).c_str(), m_strCaption.c_str(), MB_OK | MB_ICONSTOP);
}

std::string CNvAttCtrl::FetchAndOpen(HWND owner, const AttachFetch& fetch, OpenRoute route) {
    std::string written;
    INT_PTR result = RunDownload(owner, fetch, std::string(), std::string(), &written);
    // A cancelled or failed transfer, or one whose window went with the page, opens
    // nothing; a file that could not be made is not opened either, since a file of that
    // name may be an older one.
    if (result < 0 || !StillThere(owner)) return std::string();
    if (result > 0) {
        ShowFailure(owner, texts::kCannotRun, written);
        return std::string();
    }
    OpenFile(written, route, true, owner, m_strCaption);
    return written;
}

INT_PTR CNvAttCtrl::FetchAndSave(const AttachFetch& fetch, const std::string& destination) {
    CPartFile part;
    INT_PTR result = part.Create(destination);
    if (result == ERROR_SUCCESS) result = RunDownload(m_hWnd, fetch, destination, part.path(), nullptr);
    if (result == 0) result = part.Commit();
    if (result != 0 && result != E_ABORT) ShowFailure(m_hWnd, texts::kErrorOccurred, std::to_string(FailureNumber(result)));
    return result;
}

bool CNvAttCtrl::AskSavePath(const std::string& initialName, const char* title, DWORD flags,
                             const std::string& initialFolder, std::string* path) {
    std::vector<char> buffer(kSaveNameBuffer, '\0');
    std::string name = FitBuffer(initialName, kSaveNameBuffer);
    name.copy(buffer.data(), name.size());
    std::size_t dot = FindLastCp949Char(name, '.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    // Owned by the control: the page waits under it instead of going on beneath the call.
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = kSaveNameBuffer;
    ofn.lpstrTitle = title;
    ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = flags;
    if (!GetSaveFileNameA(&ofn) || !m_hWnd) return false;
    *path = buffer.data();
    return true;
}

HRESULT CNvAttCtrl::DownLoadAttach(const std::string& strFileName, short cRecordKey) {
    auto keep = KeepAlive();
    std::string key, sizeHint;
    RETURN_IF_FAILED(RecordKeyOf(m_strRecordKeyList, cRecordKey, &key));
    ListElement(m_strAttachSize, cRecordKey, &sizeHint);
    AttachFetch fetch = {SpaceAfterTildes(key), PrepareServerName(strFileName), sizeHint};
    RETURN_IF_FAILED(CheckTargetUrl(fetch.url));
    FetchAndOpen(m_hWnd, fetch, OpenRoute::kShell);
    return S_OK;
}

HRESULT CNvAttCtrl::DownLoadFile(const std::string& strFileName, short cRecordKey) {
    auto keep = KeepAlive();
    AttachFetch fetch = {std::string(), PrepareServerName(strFileName), std::string()};
    RETURN_IF_FAILED(RecordKeyOf(m_strRecordKeyList, cRecordKey, &fetch.url));
    ListElement(m_strAttachSize, cRecordKey, &fetch.sizeHint);
    RETURN_IF_FAILED(CheckTargetUrl(fetch.url));
    std::string destination;
    if (AskSavePath(SafeLeafName(fetch.name), nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, std::string(), &destination))
        FetchAndSave(fetch, destination);
    return S_OK;
}

HRESULT CNvAttCtrl::FetchSignedFile(const std::string& path, const std::string& partPath, INT_PTR* result) {
    RETURN_IF_FAILED(CheckTargetUrl(m_strFbUrl));
    std::string id(m_strSignId.size() / 2, '\0');
    if (NcFBinFromHex(m_strSignId.c_str(), reinterpret_cast<unsigned char*>(&id[0])) < 0)
        return fw::ReportError(E_INVALIDARG, kErrorSource, L"the sign id is not hex text: " + fw::AnsiToWide(m_strSignId));
    std::size_t slash = FindLastCp949Char(path, '\\');
    std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    *result = ReceiveWFAttach(m_hWnd, m_strFbUrl, id, false, fileName, path, partPath);
    return S_OK;
}

HRESULT CNvAttCtrl::DownLoadSignAttach(const std::string& strFileName, const std::string& cRecordKey) {
    auto keep = KeepAlive();
    m_strSignId = cRecordKey;
    std::string name = SafeLeafName(PrepareServerName(strFileName));
    if (name.empty())
        return fw::ReportError(E_INVALIDARG, kErrorSource, L"no file name is left of " + fw::AnsiToWide(strFileName));
    std::string path = fw::TempFolder() + name;
    INT_PTR result = 0;
    HWND owner = m_hWnd;
    RETURN_IF_FAILED(FetchSignedFile(path, std::string(), &result));
    // Only a whole file is opened: never a partial one, nor an older one of that name.
    if (result == 0 && StillThere(owner)) OpenFile(path, OpenRoute::kShell, true, owner, m_strCaption);
    else if (result > 0) ShowFailure(owner, texts::kCannotRun, path);
    return S_OK;
}

HRESULT CNvAttCtrl::DownLoadSignFile(const std::string& strFileName, const std::string& cRecordKey) {
    auto keep = KeepAlive();
    m_strSignId = cRecordKey;
    RETURN_IF_FAILED(CheckTargetUrl(m_strFbUrl));
    std::string destination;
    if (!AskSavePath(SafeLeafName(PrepareServerName(strFileName)), nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     std::string(), &destination))
        return S_OK;
    CPartFile part;
    INT_PTR result = part.Create(destination);
    if (result == ERROR_SUCCESS) RETURN_IF_FAILED(FetchSignedFile(destination, part.path(), &result));
    if (result == 0) result = part.Commit();
    if (result != 0 && result != E_ABORT) ShowFailure(m_hWnd, texts::kErrorOccurred, std::to_string(FailureNumber(result)));
    return S_OK;
}
