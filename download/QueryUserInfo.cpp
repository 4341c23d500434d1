// Asks the server page wGetUserSimple.asp about a list of users.
#include "download/QueryUserInfo.h"

#include "download/InternetSession.h"
#include "framework/ErrorMacros.h"
#include "framework/UniqueHandle.h"

namespace {

const DWORD kReadBufferBytes = 4096;
const DWORD_PTR kContext = 1;
const DWORD kOpenFlags = INTERNET_FLAG_TRANSFER_ASCII;

HRESULT ReadLines(HINTERNET response, std::string* joined) {
    std::string line;
    bool first = true;
    char buffer[kReadBufferBytes];
    for (;;) {
        DWORD got = 0;
        RETURN_IF_WIN32_BOOL_FALSE(InternetReadFile(response, buffer, sizeof(buffer), &got));
        if (got == 0) break;
        for (DWORD i = 0; i < got; ++i) {
            if (buffer[i] != '\n') {
                line += buffer[i];
                continue;
            }
            if (!first) *joined += '\n';
            *joined += line;
            first = false;
            line.clear();
        }
        RETURN_HR_IF(HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE), joined->size() + line.size() > kMaxUserInfoBytes);
    }
    // The last line needs no line feed of its own.
    if (!line.empty()) {
        if (!first) *joined += '\n';
        *joined += line;
    }
    return S_OK;
}

}  // namespace

HRESULT QueryUserInfo(const std::string& fbUrl, const std::string& userIds, std::string* answer) {
    answer->clear();
    const std::string url = fbUrl + "wGetUserSimple.asp?UserIDs=" + userIds;
    fw::UniqueHInternet session = OpenInternetSession();
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()), !session);
    fw::UniqueHInternet response(InternetOpenUrlA(session.get(), url.c_str(), nullptr, 0, kOpenFlags, kContext));
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()), !response);
    std::string joined;
    RETURN_IF_FAILED(ReadLines(response.get(), &joined));
    *answer = std::move(joined);
    return S_OK;
}
