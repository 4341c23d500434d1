// The internet session base of CHttpPost: the status callback of its requests.
//
// Only the interface exists; nothing is sent through it.
#pragma once

#include <windows.h>

class CInternetSessionEx {
public:
    CInternetSessionEx() = default;
    CInternetSessionEx(const CInternetSessionEx&) = delete;
    CInternetSessionEx& operator=(const CInternetSessionEx&) = delete;

    // The WinInet status callback of the session's requests.
    virtual void OnCallback(DWORD_PTR context, DWORD status, void* info, DWORD infoLength) {
        (void)context; (void)status; (void)info; (void)infoLength;
    }
    virtual void Close() {}
    virtual ~CInternetSessionEx() = default;
};
