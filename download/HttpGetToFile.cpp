// The direct GET of one URL into a local file, as the start-up restore and the signed
// document viewer need it.
#include "download/HttpGetToFile.h"

#include <wininet.h>

#include <cstdio>
#include <vector>

#include "download/RedirectLocation.h"
#include "framework/UniqueHandle.h"

namespace {

// Reuse an open connection; redirects are followed here, once, not by WinInet.
constexpr DWORD kRequestFlags = INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_AUTO_REDIRECT;
constexpr DWORD_PTR kContext = 1;
// The groupware server's pages have always been fetched with exactly these headers.
const char kHeaders[] = "Accept: */\r\nUser-Agent: MFC_Tear_Sample\r\n";
constexpr DWORD kPauseBeforeSendMs = 10;
constexpr DWORD kReadChunk = 4096;

struct ParsedUrl {
    bool http = false;
    std::string server;
    std::string object;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
};

// Splits a URL as a browser's address bar would; false when it cannot be split.
bool ParseUrl(const std::string& url, ParsedUrl* parsed) {
    char host[INTERNET_MAX_HOST_NAME_LENGTH] = {};
    std::vector<char> path(url.size() + 2);
    std::vector<char> extra(url.size() + 2);
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof(host);
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return false;
    parsed->http = parts.nScheme == INTERNET_SCHEME_HTTP;
    parsed->server = host;
    parsed->object = std::string(path.data()) + extra.data();
    if (parsed->object.empty()) parsed->object = "/";
    parsed->port = parts.nPort;
    return true;
}

// What WinInet says of a failed call, as one diagnostic line.
void ReportInternetError() {
    DWORD error = GetLastError();
    char text[1024] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, GetModuleHandleA("wininet.dll"),
                   error, 0, text, sizeof(text), nullptr);
    std::fprintf(stderr, "Error: (%lu) %s\n", static_cast<unsigned long>(error), text);
}

DWORD StatusCode(HINTERNET request) {
    DWORD status = 0, size = sizeof(status);
    HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    return status;
}

std::string RawHeaders(HINTERNET request) {
    DWORD size = 0;
    HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr);
    std::string headers(size + 1, '\0');
    if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, &headers[0], &size, nullptr)) return {};
    headers.resize(size);
    return headers;
}

// One connection and one request of a parsed URL, with the fixed headers, sent.
bool OpenAndSend(HINTERNET session, const ParsedUrl& url, fw::UniqueHInternet* connection,
                 fw::UniqueHInternet* request) {
    connection->reset(InternetConnectA(session, url.server.c_str(), url.port, nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, 0, kContext));
    if (!*connection) return false;
    request->reset(HttpOpenRequestA(connection->get(), "GET", url.object.c_str(), nullptr, nullptr, nullptr,
                                    kRequestFlags, kContext));
    if (!*request) return false;
    HttpAddRequestHeadersA(request->get(), kHeaders, static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    Sleep(kPauseBeforeSendMs);
    return HttpSendRequestA(request->get(), nullptr, 0, nullptr, 0) != FALSE;
}

ParsedUrl ParseOrReport(const std::string& url, const char* notParsed, const char* notHttp) {
    ParsedUrl parsed;
    if (!ParseUrl(url, &parsed)) std::fprintf(stderr, "%s\n", notParsed);
    else if (!parsed.http) std::fprintf(stderr, "%s\n", notHttp);
    return parsed;  // the caller goes on with whatever was parsed
}

// Steps 3 to 8: false after an internet failure, which has been reported.
bool Fetch(HINTERNET session, const std::string& url, const std::string& path) {
    const char kNotHttp[] = "Error: can only use URLs beginning with http://";
    ParsedUrl parsed = ParseOrReport(url, kNotHttp, kNotHttp);
    fw::UniqueHInternet connection, request;
    if (!OpenAndSend(session, parsed, &connection, &request)) return false;
    DWORD status = StatusCode(request.get());

    if (status == HTTP_STATUS_DENIED) {
        DWORD answer = InternetErrorDlg(GetDesktopWindow(), request.get(), ERROR_INTERNET_INCORRECT_PASSWORD,
                                        FLAGS_ERROR_UI_FLAGS_GENERATE_DATA | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS,
                                        nullptr);
        if (answer != ERROR_INTERNET_FORCE_RETRY) std::fprintf(stderr, "Access denied: Invalid password\n");
        Sleep(kPauseBeforeSendMs);
        if (!HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return false;
        status = StatusCode(request.get());
    }

    std::string headers = RawHeaders(request.get());
    if (status == HTTP_STATUS_MOVED || status == HTTP_STATUS_REDIRECT || status == HTTP_STATUS_REDIRECT_METHOD) {
        bool found = false;
        std::string location = RedirectLocation(headers, &found);
        if (!found) std::fprintf(stderr, "Error: Site redirects with no new location\n");
        request.reset();
        connection.reset();
        ParsedUrl target = ParseOrReport(location, "Error: the redirected URL could not be parsed.",
                                         "Error: the redirected URL does not reference a HTTP resource.");
        if (!OpenAndSend(session, target, &connection, &request)) return false;
        status = StatusCode(request.get());
        if (status != HTTP_STATUS_OK) std::fprintf(stderr, "Error: Got status code %lu\n", static_cast<unsigned long>(status));
    }
    std::fprintf(stderr, "Status Code is %lu\n", static_cast<unsigned long>(status));

    // The body is stored whatever the status was.
    fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    std::vector<char> chunk(kReadChunk);
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.get(), chunk.data(), kReadChunk, &read)) return false;
        if (read == 0) break;
        DWORD written = 0;
        if (file) WriteFile(file.get(), chunk.data(), read, &written, nullptr);
    }
    return true;
}

}  // namespace

BOOL HttpGetToFile(std::string url, std::string path) {
    fw::UniqueHInternet session(InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session || !Fetch(session.get(), url, path)) ReportInternetError();
    std::fflush(stderr);
    return TRUE;
}
