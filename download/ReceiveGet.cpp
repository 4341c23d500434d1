// The request of the receive dialog: byte counts on its screen, the bytes into its file.
#include "download/ReceiveGet.h"

#include "attach/SizeText.h"
#include "download/DownloadText.h"
#include "download/ReceiveDlg.h"
#include "res/Texts.h"

void CReceiveGet::OnProgress(ULONG progress, ULONG maximum, ULONG statusCode, const char* statusText) {
    if (statusCode >= BINDSTATUS_BEGINDOWNLOADDATA && statusCode <= BINDSTATUS_ENDDOWNLOADDATA) {
        ULONG total = DownloadTotal(maximum, std::string());
        m_pDlg->m_progress.SetPos(MulDiv(static_cast<int>(progress), 100, static_cast<int>(total)));
        m_pDlg->m_strStatus = texts::kReceiveTransferring;
        // The counts are shown as signed 32-bit numbers.
        m_pDlg->m_strTransferred = FormatTransferred(static_cast<int32_t>(progress), static_cast<int32_t>(total));
        m_pDlg->PushFields();
        maximum = total;
    }
    CHttpGet::OnProgress(progress, maximum, statusCode, statusText);
}

void CReceiveGet::OnDataAvailable(DWORD, DWORD) {
    const DWORD kReadBytes = 1024;
    for (DWORD n; (n = Read(m_pDlg->m_hFile.Room(kReadBytes), kReadBytes)) > 0;) m_pDlg->m_hFile.Commit(n);
}

void CReceiveGet::OnStopBinding(HRESULT result, const char* errorText) {
    CHttpGet::OnStopBinding(result, errorText);
    m_pDlg->m_hFile.Close();
    // A body that did not all reach the file is no finished download.
    if (SUCCEEDED(result) && m_pDlg->m_hFile.writeError() != ERROR_SUCCESS)
        result = HRESULT_FROM_WIN32(m_pDlg->m_hFile.writeError());
    m_pDlg->EndDialog(result);
}
