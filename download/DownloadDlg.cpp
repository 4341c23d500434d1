// The modal dialog that downloads one URL into a file or into memory, with the sizes in
// KB and a percentage bar.
#include "download/DownloadDlg.h"

#include "download/DownloadText.h"
#include "framework/TempFolder.h"
#include "res/Texts.h"
#include "res/resource.h"


CDownloadDlg::CDownloadDlg(HWND parent) : fw::ModalDialog(IDD_DOWNLOAD_DLG, parent) {
    fw::CProgressCtrl::EnsureClass();
    m_http.m_pDlg = this;
}

CDownloadDlg::~CDownloadDlg() {
    // The transfer stops with m_http; what it wrote stays.
    m_http.Close();
    m_hFile.Close();
}

void CDownloadDlg::PushFields() {
    UpdateItemText(IDC_DOWNLOAD_FILESIZE, m_strFileSize);
    UpdateItemText(IDC_DOWNLOAD_FILENAME, m_strFileName);
    UpdateItemText(IDC_DOWNLOAD_TRANSFERRED, m_strTransferred);
    UpdateItemText(IDC_DOWNLOAD_SAVEPATH, m_strSavePath);
}

BOOL CDownloadDlg::OnInitDialog() {
    m_progress.Attach(GetDlgItem(m_hWnd, IDC_DOWNLOAD_PROGRESS));
    if (!m_bToMemory) {
        if (m_strSavePath.empty()) {
            SYSTEMTIME today;
            GetLocalTime(&today);
            m_strSavePath = fw::TempFolder() + GeneratedSaveName(m_strFileName, today.wYear, today.wMonth, today.wDay);
        }
        DWORD error = m_hFile.Create(m_strPartPath.empty() ? m_strSavePath : m_strPartPath);
        if (error != ERROR_SUCCESS) {
            EndDialog(static_cast<INT_PTR>(error));
            return TRUE;
        }
    }
    m_strTitle = texts::kDownloadTitle;
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    PushFields();
    m_http.Submit(m_strUrl, nullptr);
    SetWindowTextA(m_hWnd, m_strTitle.c_str());
    return TRUE;
}

INT_PTR CDownloadDlg::EndedWithoutResult(HRESULT why) {
    // Torn down under the transfer: nothing more arrives, and what came stays as after a
    // Cancel, never to be taken for the whole body.
    m_http.Close();
    m_hFile.Close();
    return static_cast<INT_PTR>(why);
}

void CDownloadDlg::OnCancel() {
    m_http.Close();
    // The part written so far stays on disk.
    m_hFile.Close();
    EndDialog(E_ABORT);
}
