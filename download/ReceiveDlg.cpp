// The modal dialog that copies one URL into a file the caller names.
#include "download/ReceiveDlg.h"

#include "res/resource.h"

CReceiveDlg::CReceiveDlg(HWND parent) : fw::ModalDialog(IDD_RECEIVE_DLG, parent) {
    fw::CProgressCtrl::EnsureClass();
    m_http.m_pDlg = this;
}

CReceiveDlg::~CReceiveDlg() {
    m_http.Close();
    m_hFile.Close();
}

void CReceiveDlg::PushFields() {
    UpdateItemText(IDC_RECEIVE_FILENAME, m_strFileName);
    UpdateItemText(IDC_RECEIVE_LOCALPATH, m_strLocalPath);
    UpdateItemText(IDC_RECEIVE_SERVER, m_strServer);
    UpdateItemText(IDC_RECEIVE_STATUS, m_strStatus);
    UpdateItemText(IDC_RECEIVE_TRANSFERRED, m_strTransferred);
}

BOOL CReceiveDlg::OnInitDialog() {
    m_progress.Attach(GetDlgItem(m_hWnd, IDC_RECEIVE_PROGRESS));
    DWORD error = m_hFile.Create(m_strPartPath.empty() ? m_strLocalPath : m_strPartPath);
    if (error != ERROR_SUCCESS) {
        EndDialog(static_cast<INT_PTR>(error));
        return TRUE;
    }
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    PushFields();
    m_http.Submit(m_strUrl, nullptr);
    return TRUE;
}

INT_PTR CReceiveDlg::EndedWithoutResult(HRESULT why) {
    m_http.Close();
    m_hFile.Close();
    return static_cast<INT_PTR>(why);
}

void CReceiveDlg::OnCancel() {
    m_http.Close();
    m_hFile.Close();
    EndDialog(E_ABORT);
}
