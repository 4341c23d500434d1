// CNvAttCtrl: message bodies as HTML in both directions. SaveHtmlBody writes the server's
// page of the message with its inline images beside it; DoInsertHTML takes a body from a
// file the user picks, with a message file's images and attachments.
#include "control/NvAttCtrl.h"

#include <commdlg.h>

#include "attach/Cp949Text.h"
#include "download/DownloadDlg.h"
#include "download/FileOpener.h"
#include "download/InternetSession.h"
#include "download/OpenRules.h"
#include "download/PartFile.h"
#include "framework/TempFolder.h"
#include "framework/UniqueHandle.h"
#include "res/Texts.h"
#include "store/BodyText.h"
#include "store/HtmlBodyPlan.h"
#include "store/LocalFiles.h"
#include "store/MsgReaders.h"
#include "store/MsgStorage.h"
#include "submit/DirectUploadText.h"

namespace {

// A body goes to the page's editor as one string: beyond this it is no body.
constexpr unsigned long long kMaxBodyBytes = 64ull * 1024 * 1024;

// The whole answer of url, or false when the server cannot be reached, answers with an
// error status, breaks off, or sends more than a body can be.
bool FetchPage(const std::string& url, std::string* text) {
    HRESULT failure = S_OK;
    return ReadUrlText(url, kMaxBodyBytes, text, &failure) == UrlTextOutcome::kRead;
}

// Makes folder\name as a new empty file, never replacing one.
NameClaim ClaimFile(const std::string& path) {
    fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return NameClaim::kClaimed;
    DWORD error = GetLastError();
    // A folder of that name refuses access; an unwritable folder refuses every name.
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
        (error == ERROR_ACCESS_DENIED && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES))
        return NameClaim::kTaken;
    return NameClaim::kFailed;
}

}  // namespace

bool CNvAttCtrl::SaveHtmlBody(const std::string&, const std::string& name, const std::string& folder) {
    const std::string directory = folder.empty() ? fw::TempFolder() : folder;
    CPartFile page;
    const std::string destination = JoinFolder(directory, name);
    if (page.Create(destination) != ERROR_SUCCESS) {
        ShowMessage(FillIn(texts::kLocalSaveFailed, destination), MB_ICONSTOP);
        return false;
    }
    return DownloadHtmlBody(page, name, directory);
}

bool CNvAttCtrl::DownloadHtmlBody(CPartFile& file, const std::string& name, const std::string& folder) {
    const std::string url = HtmlBodyUrl(m_strFormsURL, m_strType, m_strObjDataURL, m_strObjPostURL, m_strObjClsURL);
    std::string response;
    if (FAILED(CheckTargetUrl(url)) || !FetchPage(url, &response)) {
        ShowMessage(texts::kInternetAccessError, MB_ICONEXCLAMATION);
        return false;
    }
    const std::string page = HtmlPageLines(response);
    response.clear();

    // Each image gets a name of its own in the folder: never the page's, never one a file
    // there already has.
    const ClaimName claim = [&](const std::string& fileName) {
        if (EqualNoCaseCp949(fileName, name)) return NameClaim::kTaken;
        return ClaimFile(JoinFolder(folder, fileName));
    };
    std::vector<HtmlImage> fetched;
    for (const HtmlImage& image : PlanHtmlImages(page, m_strInlineKeyList, m_strType, claim)) {
        const std::string path = JoinFolder(folder, image.fileName);
        // A failed or refused image keeps the page's reference; its empty file goes.
        bool whole = m_hWnd && SUCCEEDED(CheckTargetUrl(image.url)) &&
                     RunDownload(m_hWnd, {image.url, image.fileName, std::string()}, path, std::string(), nullptr) == 0;
        if (whole) fetched.push_back(image);
        else DeleteFileA(path.c_str());
    }

    DWORD error = WriteWholeFile(file.path(), RewriteHtmlImages(page, fetched, folder));
    if (error == ERROR_SUCCESS) error = file.Commit();
    if (error != ERROR_SUCCESS && m_hWnd) ShowMessage(FillIn(texts::kLocalSaveFailed, JoinFolder(folder, name)), MB_ICONSTOP);
    return error == ERROR_SUCCESS;
}

bool CNvAttCtrl::ImportMessageBody(const std::string& path, std::string* body) {
    CMsgStorage storage;
    if (!storage.Open(path.c_str())) return false;
    // A fresh folder of the temporary folder's, which the body and the rows point into.
    const std::string temp = fw::TempFolder();
    char folder[MAX_PATH];
    if (temp.empty() || !GetTempFileNameA(temp.c_str(), "NC", 0, folder) || !DeleteFileA(folder) ||
        !CreateDirectoryA(folder, nullptr))
        return false;
    std::string text, to, cc, skipped;
    std::vector<std::string> attachments;
    const BOOL read = ReadMsgIntoFolder(storage, folder, text, to, cc, attachments, &skipped);
    storage.Close();
    if (!read) {
        RemoveDirectoryA(folder);  // when nothing came out
        return false;
    }
    for (const std::string& attachment : attachments) m_attachList.InsertAttach(attachment, 0, 1);
    ShowAttachList();
    if (!skipped.empty() && m_hWnd) {
        std::string shown = texts::kFilesNotRestored;
        for (const std::string& skippedName : TabTerminatedNames(skipped)) shown += "\n" + skippedName;
        ShowMessage(shown, MB_ICONEXCLAMATION);
    }
    *body = std::move(text);
    return true;
}

HRESULT CNvAttCtrl::DoInsertHTML(std::string* result) try {
    auto keep = KeepAlive();
    LocalFileDialog dialog;
    dialog.filter = texts::kInsertBodyFilter;
    dialog.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    std::string path;
    if (!AskLocalFile(m_hWnd, dialog, false, &path) || !m_hWnd) return S_OK;
    const std::string name = FileNameOfPath(path);
    const std::size_t dot = FindLastCp949Char(name, '.');
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);

    bool imported;
    if (extension == "pcm") {  // exactly: "x.PCM" is read as text
        imported = ImportMessageBody(path, result);
    } else {
        std::string text;
        imported = ReadWholeFile(path, kMaxBodyBytes, &text) == ERROR_SUCCESS;
        if (imported) *result = TextFileBody(text, extension == "txt");
    }
    if (!imported) {
        result->clear();
        if (m_hWnd) ShowMessage(FillIn(texts::kCannotImportBody, path), MB_ICONSTOP);
    }
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}
