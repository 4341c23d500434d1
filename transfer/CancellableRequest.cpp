// A WinInet request handle that another thread may cancel while a transfer uses it.
#include "transfer/CancellableRequest.h"

#include <utility>

void CCancellableRequest::Publish(HINTERNET request) {
    fw::SrwGuard guard(m_lock);
    m_request = request;
}

void CCancellableRequest::Close() {
    fw::SrwGuard guard(m_lock);
    if (m_request) InternetCloseHandle(m_request);
    m_request = nullptr;
}

void CCancellableRequest::Cancel() {
    fw::SrwGuard guard(m_lock);
    m_cancelled = true;
    if (m_inCall && m_request) {
        InternetCloseHandle(m_request);
        m_request = nullptr;
    }
}

bool CCancellableRequest::Cancelled() const {
    fw::SrwGuard guard(m_lock);
    return m_cancelled;
}

void SetInternetTimeouts(HINTERNET handle, DWORD connectMs, DWORD sendMs, DWORD receiveMs) {
    const std::pair<DWORD, DWORD> options[] = {
        {INTERNET_OPTION_CONNECT_TIMEOUT, connectMs},
        {INTERNET_OPTION_SEND_TIMEOUT, sendMs},
        {INTERNET_OPTION_RECEIVE_TIMEOUT, receiveMs},
        {INTERNET_OPTION_DATA_SEND_TIMEOUT, sendMs},
        {INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, receiveMs},
    };
    for (const auto& [option, value] : options) {
        DWORD v = value;
        InternetSetOptionA(handle, option, &v, sizeof(v));
    }
}
