// Where a transfer's URL points, and the WinInet session and connection that reach it:
// the first steps that the upload and the download take alike.
#pragma once

#include "framework/UniqueHandle.h"

#include <windows.h>
#include <wininet.h>

#include <string>

struct HttpTarget {
    std::string host;
    INTERNET_PORT port = 0;
    std::string user;  // empty when the URL names none
    std::string password;
    bool secure = false;     // https
    std::string objectPath;  // the path and what follows it, starting with '/'
};

// Splits an http or https URL; any other scheme is ERROR_INTERNET_UNRECOGNIZED_SCHEME.
[[nodiscard]] HRESULT CrackHttpUrl(const std::string& url, HttpTarget* target);

struct HttpConnection {
    fw::UniqueHInternet session;
    fw::UniqueHInternet connection;  // declared last, so closed before its session
};

// A session and a connection to target, each with the time-outs (milliseconds).
[[nodiscard]] HRESULT OpenHttpConnection(const HttpTarget& target, DWORD connectMs, DWORD sendMs,
                                         DWORD receiveMs, HttpConnection* out);
