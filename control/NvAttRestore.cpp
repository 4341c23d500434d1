// CNvAttCtrl: the start-up restore of a saved message named by sqlfilepath, and the
// signed document handed to the viewer.
#include "control/NvAttCtrl.h"

#include <shellapi.h>

#include "attach/ListProperty.h"
#include "download/HttpGetToFile.h"
#include "res/Texts.h"
#include "store/BodyText.h"
#include "store/MsgReaders.h"

namespace {

const char kSavedMailPath[] = "c:\\velaware\\velasavemail2.pcm";
const char kSignedDocumentPath[] = "c:\\velaware\\velasavesign.ncf";
constexpr DWORD kTempPathBuffer = 512;

}  // namespace

int CNvAttCtrl::RestoreSavedMessage() {
    m_bLocalMessage = 1;  // stays set even when the fetch fails
    size_t dot = m_strSqlFilePath.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : m_strSqlFilePath.substr(dot + 1);

    char temp[kTempPathBuffer];
    DWORD length = GetTempPathA(kTempPathBuffer, temp);
    // A temporary folder that does not fit the buffer is a restore that cannot be done.
    if (length == 0 || length >= kTempPathBuffer) return -1;

    // Nothing is fetched from a site the administrator did not allow; the window, and
    // with it the control's creation, fails.
    if (FAILED(CheckTargetUrl(m_strSqlFilePath))) return -1;
    HttpGetToFile(m_strSqlFilePath, kSavedMailPath);
    CMsgStorage storage;
    if (!storage.Open(kSavedMailPath)) return -1;

    // The name decides the generation: the file carries no mark of its own.
    std::string body, to, cc, names, sizes, skipped;
    std::vector<std::string> attachments;
    bool ok;
    if (extension != "pcm2" && extension != "PCM2") {
        ok = ReadLegacyProperties(storage, body, to, cc) &&
             ReadLegacyFiles(storage, "_vxLocalAttach", temp, names, sizes, &skipped);
        for (const std::string& name : TabTerminatedNames(names)) attachments.push_back(std::string(temp) + "\\" + name);
    } else {
        ok = ReadMsgIntoFolder(storage, temp, body, to, cc, attachments, &skipped);
    }
    storage.Close();
    if (!ok) return -1;

    for (const std::string& path : attachments) m_attachList.InsertAttach(path, 0, 1);
    body = ReplaceEach(body, {{"\"", "'"}});

    if (!attachments.empty()) {
        RECT client = {};
        GetClientRect(m_hWnd, &client);
        RECT row = {};
        m_attachList.GetItemRect(0, &row, LVIR_BOUNDS);
        ShowWindow(m_attachList.hwnd(), SW_SHOW);
        MoveWindow(m_attachList.hwnd(), 0, client.top, client.right < 0 ? 0 : client.right,
                   row.bottom - row.top + 2 * GetSystemMetrics(SM_CYDLGFRAME), TRUE);
    }
    FireSetDBBody(body, to, cc, attachments.empty() ? 0 : 1);
    // The message is shown without the files that could not be extracted; the user is
    // told which, rather than find them missing from a reply.
    if (!skipped.empty()) {
        std::string text = texts::kFilesNotRestored;
        for (const std::string& name : TabTerminatedNames(skipped)) text += "\n" + name;
        ShowMessage(text, MB_ICONEXCLAMATION);
    }
    return 0;
}

void CNvAttCtrl::OpenSignedDocument(const std::string& data) {
    SetCursor(m_hPrevCursor);
    m_bRequestBusy = 0;
    if (!data.empty() && data[0] == '0') {
        ShowMessage(texts::kSignedPathWrong, MB_ICONEXCLAMATION);
        return;
    }
    // The URL lived in a 260-byte buffer: longer answers are not a URL of the server's.
    std::string url = data.substr(1, MAX_PATH - 1);
    std::string refusal;
    if (FAILED(CheckTargetUrl(url, &refusal))) {
        ShowMessage(refusal, MB_ICONSTOP);  // no script waits for this answer
        return;
    }
    HttpGetToFile(url, kSignedDocumentPath);
    LaunchViewer(kSignedDocumentPath);
}
