// The uploader: stages text and file parts and posts them as one multipart/form-data
// request, with or without a progress window, keeping the server's answer as text.
#include "transfer/HttpUpload.h"

#include "transfer/UploadProgressDlg.h"

#include <new>

namespace {

// After Cancel the worker gets this long to wind up before the caller stops waiting;
// where the platform cannot abort a blocked call, it ends later on its own.
const DWORD kCancelGraceMs = 1000;

}  // namespace

CHttpUpload::CHttpUpload(HWND parent) : m_owner(parent) {}

void CHttpUpload::AddField(const std::string& name, const std::string& value) {
    m_form.AddField(name, value);
}

void CHttpUpload::AddFile(const std::string& name, const std::string& localPath) {
    m_form.AddFile(name, localPath);
}

void CHttpUpload::RemoveAll() {
    m_form.RemoveAll();
}

void CHttpUpload::SetAuthorization(const std::string& text) {
    m_authorization = text;
}

int CHttpUpload::Submit(const std::string& url) {
    return Post(url, true);
}

int CHttpUpload::Submit_noDlg(const std::string& url) {
    return Post(url, false);
}

int CHttpUpload::Post(const std::string& url, bool withWindow) {
    m_reply.clear();
    m_statusCode = 0;
    // The progress window runs a message loop, so a page can call in again meanwhile.
    if (m_busy) {
        m_lastResult = HRESULT_FROM_WIN32(ERROR_BUSY);
        return static_cast<int>(m_lastResult);
    }
    m_busy = true;
    HRESULT hr;
    try {
        // The transfer takes its own copy of the parts: a cancelled one may outlive this call.
        auto transfer = std::make_shared<CUploadTransfer>(m_form, url, m_authorization, m_timeouts,
                                                          m_random);
        hr = withWindow ? PostWithWindow(transfer) : transfer->Run();
        if (transfer->WaitDone(0)) {
            m_statusCode = transfer->StatusCode();
            if (SUCCEEDED(hr)) m_reply = transfer->Reply();
        }
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    } catch (...) {
        hr = E_UNEXPECTED;
    }
    m_busy = false;
    m_lastResult = hr;
    return SUCCEEDED(hr) ? 0 : static_cast<int>(hr);
}

HRESULT CHttpUpload::PostWithWindow(const std::shared_ptr<CUploadTransfer>& transfer) {
    CUploadProgressDlg dialog(transfer, m_owner);
    HRESULT hr = dialog.DoModal();
    if (hr == E_ABORT) {
        // An answer that was complete before the click still counts.
        return transfer->WaitDone(kCancelGraceMs) ? transfer->Result() : E_ABORT;
    }
    if (FAILED(hr)) {
        // No window (no desktop, no thread): the upload still goes, without one.
        return transfer->Run();
    }
    transfer->WaitDone(INFINITE);
    return transfer->Result();
}
