// The internet session of the control's direct requests, and the text answer of one.
#include "download/InternetSession.h"

#include "framework/ErrorMacros.h"

#include <cstdint>
#include <cstdlib>

namespace {

const DWORD kPieceBytes = 4096;
const DWORD_PTR kContext = 1;
const DWORD kOpenFlags = INTERNET_FLAG_TRANSFER_ASCII;

// An HTTP answer with an error status carries the server's error page, not the text.
bool IsErrorStatus(HINTERNET response) {
    DWORD status = 0, size = sizeof(status);
    if (!HttpQueryInfoA(response, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return false;
    return status >= 400;
}

// The length the server announced; false when it gave none.
bool AnnouncedLength(HINTERNET response, uint64_t* length) {
    char text[32] = {};
    DWORD size = sizeof(text);
    if (!HttpQueryInfoA(response, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return false;
    char* end = nullptr;
    *length = _strtoui64(text, &end, 10);
    return end != text;
}

}  // namespace

fw::UniqueHInternet OpenInternetSession() {
    return fw::UniqueHInternet(InternetOpenA("NVATT", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
}

UrlTextOutcome ReadUrlText(const std::string& url, size_t maxBytes, std::string* text, HRESULT* failure) {
    text->clear();
    *failure = S_OK;
    fw::UniqueHInternet session = OpenInternetSession();
    if (!session) return UrlTextOutcome::kNotReached;
    fw::UniqueHInternet response(InternetOpenUrlA(session.get(), url.c_str(), nullptr, 0, kOpenFlags, kContext));
    if (!response || IsErrorStatus(response.get())) return UrlTextOutcome::kNotReached;
    uint64_t announced = 0;
    const bool hasLength = AnnouncedLength(response.get(), &announced);
    char piece[kPieceBytes];
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(response.get(), piece, sizeof(piece), &got)) {
            *failure = HRESULT_FROM_WIN32_OR_FAIL(GetLastError());
            return UrlTextOutcome::kBrokeOff;
        }
        if (got == 0) break;
        if (text->size() + got > maxBytes) {
            *failure = HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
            return UrlTextOutcome::kBrokeOff;
        }
        text->append(piece, got);
    }
    // A connection that closed before the announced end reads as an end here.
    if (hasLength && text->size() < announced) {
        *failure = HRESULT_FROM_WIN32(ERROR_INTERNET_CONNECTION_RESET);
        return UrlTextOutcome::kBrokeOff;
    }
    return UrlTextOutcome::kRead;
}
