// CNvAttCtrl: the single-item uploads: the plain send form, one attachment, one document,
// a whole message saved as a message file, and EML files the user picks.
#include "control/NvAttCtrl.h"

#include <commdlg.h>

#include <new>

#include "attach/Cp949Text.h"
#include "framework/ErrorMacros.h"
#include "framework/ScratchFile.h"
#include "framework/SelectedPaths.h"
#include "framework/TempFolder.h"
#include "res/Texts.h"
#include "submit/DirectUploadText.h"
#include "submit/SubmitPlan.h"

namespace {

const wchar_t kErrorSource[] = L"NVATT.NvAttCtrl.1";
const char kSavedMessageName[] = "_veladoc_.pcm";
// "Eml files (.eml)|*.eml|" with its bars as the zero bytes the dialog expects.
const char kEmlFilter[] = "Eml files (.eml)\0*.eml\0";
constexpr DWORD kEmlNameBufferSize = 10000;
constexpr DWORD kEmlDialogFlags =
    OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;

// Copies path to a new "NC" file of the temporary folder, which the upload reads; the
// user may go on with the file meanwhile. A file that cannot be read fails, naming it.
HRESULT CopyForUpload(const wchar_t* method, const std::string& path, fw::ScratchFile& copy) {
    if (copy.Create(fw::TempFolder(), "NC") && CopyFileA(path.c_str(), copy.path().c_str(), FALSE)) return S_OK;
    const DWORD error = GetLastError();
    copy.Delete();
    return fw::ReportError(HRESULT_FROM_WIN32_OR_FAIL(error), kErrorSource,
                           std::wstring(method) + L": cannot read " + fw::AnsiToWide(path));
}

// Puts back the parts an upload held before a call added its own.
void RestoreParts(CHttpUpload& upload, const std::vector<FormPart>& parts) {
    upload.RemoveAll();
    for (const FormPart& part : parts) {
        if (part.isFile) upload.AddFile(part.name, part.value);
        else upload.AddField(part.name, part.value);
    }
}

// Whether a single-item upload was accepted, with its result. Only a transfer that broke
// off is told to the user; a refusal is silent.
bool UploadAccepted(HWND owner, const std::string& reply, std::string* result) {
    switch (ReadUploadAnswer(reply, result)) {
    case UploadAnswer::kAccepted:
        return true;
    case UploadAnswer::kStopped:
        MessageBoxA(owner, texts::kTransferStopped, texts::kGroupwareCaption, MB_OK | MB_ICONEXCLAMATION);
        break;
    case UploadAnswer::kRefused:
        break;
    }
    return false;
}

ULONGLONG FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

}  // namespace

HRESULT CNvAttCtrl::SendSubmit() try {
    RETURN_IF_FAILED(CheckTargetUrl(m_strPostURL));
    const std::vector<FormPart> before = m_sendUpload.GetForm().Parts();
    m_sendUpload.SetAuthorization(m_strAuth);
    for (const std::string& entry : m_sendFieldList) {
        auto field = SplitFieldEntry(entry);
        m_sendUpload.AddField(field.first, field.second);
    }
    m_sendUpload.Submit_noDlg(m_strPostURL);
    m_strResponse = m_sendUpload.GetReply();
    if (m_strResponse.empty()) {
        // Nothing came back: the form stays as the page staged it, for another try.
        RestoreParts(m_sendUpload, before);
        return S_OK;
    }
    m_sendFieldList.clear();
    m_sendUpload.RemoveAll();
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

HRESULT CNvAttCtrl::DoAddAttach(const std::string& filepath, std::string* result) try {
    RETURN_IF_FAILED(CheckTargetUrl(m_strUploadURL));
    fw::ScratchFile copy;
    RETURN_IF_FAILED(CopyForUpload(L"DoAddAttach", filepath, copy));
    // Parts the page staged travel with this file and stay staged; the file's own two
    // parts go again, so that the next call sends its own file and not this one as well.
    const std::vector<FormPart> staged = m_msgUpload.GetForm().Parts();
    m_msgUpload.AddField("FileName", FileNameOfPath(filepath));
    m_msgUpload.AddFile("FileAtt", copy.path());
    m_msgUpload.SetAuthorization(m_strAuth);
    m_msgUpload.SetOwnerWindow(m_hWnd);
    m_msgUpload.Submit(m_strUploadURL);
    RestoreParts(m_msgUpload, staged);
    // A cancelled transfer may still hold the copy for a moment; then the window's end
    // deletes it.
    std::string copyPath = copy.Release();
    if (!DeleteFileA(copyPath.c_str())) m_tempCopies.push_back(copyPath);
    UploadAccepted(m_hWnd, m_msgUpload.GetReply(), result);
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

HRESULT CNvAttCtrl::DoSaveFileToServer(const std::string& strFilePath, std::string* result) try {
    RETURN_IF_FAILED(CheckTargetUrl(m_strUploadURL));
    fw::ScratchFile copy;
    RETURN_IF_FAILED(CopyForUpload(L"DoSaveFileToServer", strFilePath, copy));
    m_msgUpload.RemoveAll();
    m_msgUpload.AddFile("DocFile", copy.path());
    // The part stays staged and a later send reads the copy again: it goes with the window.
    m_tempCopies.push_back(copy.Release());
    m_msgUpload.SetAuthorization(m_strAuth);
    m_msgUpload.SetOwnerWindow(m_hWnd);
    m_msgUpload.Submit(m_strUploadURL);
    UploadAccepted(m_hWnd, m_msgUpload.GetReply(), result);
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

HRESULT CNvAttCtrl::DoSaveMsg(const std::string& strFilePath, std::string* result) try {
    RETURN_IF_FAILED(CheckTargetUrl(m_strUploadURL));
    const bool temporary = strFilePath.empty() || strFilePath == " ";
    const std::string target = temporary ? fw::TempFolder() + kSavedMessageName : strFilePath;
    const std::string displayName = temporary ? kSavedMessageName : FileNameOfPath(strFilePath);
    // The attachments' scratch files go beside the target. The folder keeps its backslash:
    // a bare drive ("C:") would stand for that drive's current folder.
    const size_t slash = FindLastCp949Char(target, '\\');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    // A message that could not be saved is not sent: the server would store a file
    // without it and the page would be told it was saved.
    if (!WriteMessageFile(target, displayName, folder, std::string())) return S_OK;
    const std::string size = std::to_string(FileBytes(target));

    // The authorization is the one an earlier upload set.
    m_msgUpload.RemoveAll();
    m_msgUpload.AddFile("MsgFile", target);
    m_msgUpload.AddField("UserID", m_strUserID);
    m_msgUpload.SetOwnerWindow(m_hWnd);
    m_msgUpload.Submit(m_strUploadURL);
    std::string answer;
    if (UploadAccepted(m_hWnd, m_msgUpload.GetReply(), &answer)) *result = answer + "|" + size;
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

HRESULT CNvAttCtrl::UploadEMLToServer(const std::string& strPath, bool* result) try {
    *result = false;
    if (m_strCreateMailURL.empty() || m_strCkServer.empty()) return S_OK;
    RETURN_IF_FAILED(CheckTargetUrl(m_strCreateMailURL));
    std::vector<char> names(kEmlNameBufferSize, '\0');
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = kEmlFilter;
    ofn.lpstrFile = names.data();
    ofn.nMaxFile = kEmlNameBufferSize;
    ofn.Flags = kEmlDialogFlags;
    if (!GetOpenFileNameA(&ofn)) return S_OK;
    // One upload per file; the answers are not looked at.
    for (const std::string& path : fw::SelectedPaths(names.data())) {
        m_msgUpload.RemoveAll();
        m_msgUpload.AddField("server", m_strCkServer);
        m_msgUpload.AddFile("EmlFile", path);
        m_msgUpload.AddField("folder", strPath);
        m_msgUpload.SetAuthorization(m_strAuth);
        m_msgUpload.Submit_noDlg(m_strCreateMailURL);
    }
    *result = true;
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}
