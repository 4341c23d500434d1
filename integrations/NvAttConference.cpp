// CNvAttCtrl: the conference call. DoCall checks that caller and callee are both free and
// lets the page start the call (EvCallConference); DoCallMsg also writes the message and a
// conference page that shares it into C:\VelaWare\<UserID>\.
#include "control/NvAttCtrl.h"

#include "download/QueryUserInfo.h"
#include "framework/ErrorMacros.h"
#include "framework/UniqueHandle.h"
#include "integrations/CompanionErrors.h"
#include "integrations/CompanionRules.h"
#include "integrations/ConferenceText.h"
#include "res/Texts.h"

namespace {

const char kBaseFolder[] = "C:\\VelaWare\\";

// A folder of our own: made when missing, and a real folder (a link could lead the
// clearing below anywhere).
bool MakeOwnFolder(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Deletes the files directly in folder (ending in "\"), each by its full path; subfolders
// and files in use stay.
void DeleteFilesIn(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    fw::UniqueFindHandle find(FindFirstFileA((folder + "*.*").c_str(), &entry));
    if (!find) return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        DeleteFileA((folder + entry.cFileName).c_str());
    } while (FindNextFileA(find.get(), &entry));
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

// S_OK with *free set when both may start a conference; otherwise the user was told why.
// Fails before any request when the ids or fburl are refused.
HRESULT CNvAttCtrl::CheckConferencePresence(bool* free) {
    *free = false;
    if (!IsSafeUserId(m_strUserID)) return RefuseUnsafeId("UserID");
    if (!IsSafeUserId(m_strSenderID)) return RefuseUnsafeId("SenderID");
    RETURN_IF_FAILED(CheckTargetUrl(m_strFbUrl + "wGetUserSimple.asp"));
    // A failed request is an empty answer: the caller counts as not free.
    std::string callee, caller;
    (void)QueryUserInfo(m_strFbUrl, m_strSenderID + ";", &callee);
    (void)QueryUserInfo(m_strFbUrl, m_strUserID, &caller);
    const char* text = nullptr;
    switch (DecidePresence(caller, callee)) {
    case Presence::kStart: *free = true; return S_OK;
    case Presence::kCallerNotFree: text = texts::kConferenceCallerNotFree; break;
    case Presence::kCalleeInConference: text = texts::kConferenceCalleeInConference; break;
    case Presence::kCalleeOnCall: text = texts::kConferenceCalleeOnCall; break;
    case Presence::kCalleeAway: text = texts::kConferenceCalleeAway; break;
    }
    MessageBoxA(m_hWnd, text, texts::kConferenceRequestCaption, MB_OK | MB_ICONEXCLAMATION);
    return S_OK;
}

HRESULT CNvAttCtrl::DoCall(bool* result) {
    bool free = false;
    RETURN_IF_FAILED(CheckConferencePresence(&free));
    if (free) FireEvCallConference(m_strUserID, m_strSenderID, std::string());
    *result = true;
    return S_OK;
}

HRESULT CNvAttCtrl::DoCallMsg(bool* result) {
    auto keep = KeepAlive();  // the message's download runs modal loops
    bool free = false;
    RETURN_IF_FAILED(CheckConferencePresence(&free));
    *result = true;
    if (!free) return S_OK;
    // Everything by full path: the process's current folder is the host's.
    const std::string& user = m_strUserID;
    const std::string userFolder = kBaseFolder + user + "\\";
    const std::string documentFolder = userFolder + user + ".files\\";
    const std::string pagePath = userFolder + user + ".htm";
    bool made = MakeOwnFolder(kBaseFolder) && MakeOwnFolder(userFolder) && MakeOwnFolder(documentFolder);
    if (made) {
        // Only the page and the message of the latest call stay.
        DeleteFilesIn(userFolder);
        DeleteFilesIn(documentFolder);
        SYSTEMTIME now;
        GetLocalTime(&now);
        std::string pageName = ConferencePageName(user, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                                                  now.wSecond);
        made = WriteWholeFile(pagePath, ConferencePageText(pageName));
    }
    if (!made || !SaveMessageForCall(documentFolder + user + ".pcm")) {
        if (m_hWnd) MessageBoxA(m_hWnd, texts::kConferenceDocumentFailed, texts::kConferenceErrorCaption,
                                MB_OK | MB_ICONEXCLAMATION);
        *result = false;
        return S_OK;
    }
    FireEvCallConference(m_strUserID, m_strSenderID, pagePath);
    return S_OK;
}
