// The uploader: stages text and file parts and posts them as one multipart/form-data
// request, with or without a progress window, keeping the server's answer as text.
#pragma once

#include "transfer/MultipartForm.h"
#include "transfer/UploadTransfer.h"

#include <windows.h>

#include <string>

class CHttpUpload {
public:
    // parent: the owner of the progress window (null: none).
    explicit CHttpUpload(HWND parent = nullptr);
    CHttpUpload(const CHttpUpload&) = delete;
    CHttpUpload& operator=(const CHttpUpload&) = delete;

    // Parts travel in the order they were added; a file is read when the form is sent.
    void AddField(const std::string& name, const std::string& value);
    void AddFile(const std::string& name, const std::string& localPath);
    void RemoveAll();
    // Sent as "Authorization: <text>" when not empty.
    void SetAuthorization(const std::string& text);

    // Post all parts to url and return once the answer is complete: 0 on success, the
    // failure's HRESULT otherwise (transport failure, HTTP error status, Cancel). Submit
    // shows a modal progress window with a Cancel button; Submit_noDlg shows nothing and
    // cannot be cancelled. The parts stay staged either way.
    int Submit(const std::string& url);
    int Submit_noDlg(const std::string& url);
    // The body of the last answer, empty when the last submission failed.
    const std::string& GetReply() const { return m_reply; }

    void SetOwnerWindow(HWND owner) { m_owner = owner; }
    void SetTimeouts(const UploadTimeouts& timeouts) { m_timeouts = timeouts; }
    // Where boundaries come from; the tests set one to put a boundary into a file.
    void SetBoundaryRandomSource(BoundaryRandomSource random) { m_random = std::move(random); }
    // The outcome of the last submission and its HTTP status (0 when none came).
    HRESULT GetLastResult() const { return m_lastResult; }
    DWORD GetStatusCode() const { return m_statusCode; }
    const CMultipartForm& GetForm() const { return m_form; }

private:
    int Post(const std::string& url, bool withWindow);
    HRESULT PostWithWindow(const std::shared_ptr<CUploadTransfer>& transfer);

    HWND m_owner;
    CMultipartForm m_form;
    std::string m_authorization;
    UploadTimeouts m_timeouts;
    BoundaryRandomSource m_random;
    std::string m_reply;
    HRESULT m_lastResult = S_OK;
    DWORD m_statusCode = 0;
    bool m_busy = false;
};
