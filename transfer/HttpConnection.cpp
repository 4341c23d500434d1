// Where a transfer's URL points, and the WinInet session and connection that reach it.
#include "transfer/HttpConnection.h"

#include "framework/ErrorMacros.h"
#include "transfer/CancellableRequest.h"

namespace {

const char kAgent[] = "NVATT";

}  // namespace

HRESULT CrackHttpUrl(const std::string& url, HttpTarget* target) {
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    char user[256] = {}, password[256] = {};
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof(host);
    parts.lpszUserName = user;
    parts.dwUserNameLength = sizeof(user);
    parts.lpszPassword = password;
    parts.dwPasswordLength = sizeof(password);
    parts.dwUrlPathLength = 1;  // pointers into url
    parts.dwExtraInfoLength = 1;
    RETURN_IF_WIN32_BOOL_FALSE(InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts));
    RETURN_HR_IF(HRESULT_FROM_WIN32(ERROR_INTERNET_UNRECOGNIZED_SCHEME),
                 parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS);
    target->host = host;
    target->port = parts.nPort;
    target->user = user;
    target->password = password;
    target->secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    target->objectPath.clear();
    if (parts.lpszUrlPath) target->objectPath.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) target->objectPath.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (target->objectPath.empty() || target->objectPath[0] != '/') target->objectPath.insert(0, "/");
    return S_OK;
}

HRESULT OpenHttpConnection(const HttpTarget& target, DWORD connectMs, DWORD sendMs, DWORD receiveMs,
                           HttpConnection* out) {
    out->session.reset(InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()), !out->session);
    SetInternetTimeouts(out->session.get(), connectMs, sendMs, receiveMs);
    out->connection.reset(InternetConnectA(out->session.get(), target.host.c_str(), target.port,
                                           target.user.empty() ? nullptr : target.user.c_str(),
                                           target.password.empty() ? nullptr : target.password.c_str(),
                                           INTERNET_SERVICE_HTTP, 0, 0));
    RETURN_HR_IF(HRESULT_FROM_WIN32_OR_FAIL(GetLastError()), !out->connection);
    SetInternetTimeouts(out->connection.get(), connectMs, sendMs, receiveMs);
    return S_OK;
}
