// The request of the download dialog: puts the transfer on its screen and its bytes
// into the file or into memory.
#include "download/DownloadGet.h"

#include "download/DownloadDlg.h"
#include "download/DownloadText.h"

void CDownloadGet::OnProgress(ULONG progress, ULONG maximum, ULONG statusCode, const char* statusText) {
    // Only the data statuses move the screen, not connecting or redirecting.
    if (statusCode >= BINDSTATUS_BEGINDOWNLOADDATA && statusCode <= BINDSTATUS_ENDDOWNLOADDATA) {
        ULONG total = DownloadTotal(maximum, m_pDlg->m_strSizeHint);
        // MulDiv keeps progress * 100 from overflowing 32 bits.
        m_pDlg->m_progress.SetPos(MulDiv(static_cast<int>(progress), 100, static_cast<int>(total)));
        m_pDlg->m_strTransferred = KiloBytesText(progress);
        m_pDlg->m_strFileSize = KiloBytesText(total);
        m_pDlg->PushFields();
        maximum = total;
    }
    CHttpGet::OnProgress(progress, maximum, statusCode, statusText);
}

void CDownloadGet::OnDataAvailable(DWORD, DWORD) {
    const DWORD kReadBytes = 1024;
    if (m_pDlg->m_bToMemory) {
        char buffer[kReadBytes];
        for (DWORD n; (n = Read(buffer, kReadBytes)) > 0;) {
            if (m_pDlg->m_strData.size() + n > CDownloadDlg::kMaxMemoryBytes) {
                Close();
                m_pDlg->EndDialog(HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE));
                return;
            }
            m_pDlg->m_strData.append(buffer, n);
        }
        return;
    }
    // Each 1 KB read lands where the file's next block gathers.
    for (DWORD n; (n = Read(m_pDlg->m_hFile.Room(kReadBytes), kReadBytes)) > 0;) m_pDlg->m_hFile.Commit(n);
}

void CDownloadGet::OnStopBinding(HRESULT result, const char* errorText) {
    CHttpGet::OnStopBinding(result, errorText);
    m_pDlg->m_hFile.Close();
    // A body that did not all reach the file is no finished download.
    if (SUCCEEDED(result) && m_pDlg->m_hFile.writeError() != ERROR_SUCCESS)
        result = HRESULT_FROM_WIN32(m_pDlg->m_hFile.writeError());
    m_pDlg->EndDialog(result);
}
