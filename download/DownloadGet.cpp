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
    char buffer[1024];
    for (DWORD n; (n = Read(buffer, sizeof(buffer))) > 0;) {
        if (m_pDlg->m_bToMemory) {
            if (m_pDlg->m_strData.size() + n > CDownloadDlg::kMaxMemoryBytes) {
                Close();
                m_pDlg->EndDialog(HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE));
                return;
            }
            m_pDlg->m_strData.append(buffer, n);
        } else {
            m_pDlg->m_writer.Write(m_pDlg->m_hFile.get(), buffer, n);
        }
    }
}

void CDownloadGet::OnStopBinding(HRESULT result, const char* errorText) {
    CHttpGet::OnStopBinding(result, errorText);
    m_pDlg->CloseFile();
    m_pDlg->EndDialog(result);
}
