// The modal window an upload shows while it runs: bytes sent, percentage, Cancel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

class CUploadTransfer;

class CUploadProgressDlg {
public:
    static constexpr int kIdStatus = 1001;
    static constexpr int kIdBytes = 1002;
    static constexpr int kIdProgress = 1003;

    CUploadProgressDlg(std::shared_ptr<CUploadTransfer> transfer, HWND owner);
    CUploadProgressDlg(const CUploadProgressDlg&) = delete;
    CUploadProgressDlg& operator=(const CUploadProgressDlg&) = delete;

    // Starts the transfer on a worker thread and runs the window until the transfer ends
    // (S_OK; the transfer's Result() tells how), or the user cancels or the window goes
    // with its page (its owner destroyed, WM_QUIT, an owner already gone): E_ABORT, and
    // the transfer has been asked to stop. Any other failure means the window never
    // opened and the transfer never started.
    [[nodiscard]] HRESULT DoModal();

    // The bytes line as the window shows it: "1,234 / 5,678 바이트 (21%)".
    static std::string FormatProgress(uint64_t sent, uint64_t total);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnInitDialog(HWND hwnd);
    void OnTimer();
    void OnCancel();
    void OnTransferDone();
    void OnDestroy();

    std::shared_ptr<CUploadTransfer> m_transfer;
    HWND m_owner;
    HWND m_hwnd = nullptr;
    HRESULT m_startResult = S_OK;
};
