// CBusyDlg: the "please wait" popup shown while a server registration runs.
#include "control/BusyDlg.h"

#include "res/resource.h"

CBusyDlg::CBusyDlg(HWND owner) : fw::ModalDialog(IDD_BUSY, owner) {}

BOOL CBusyDlg::OnInitDialog() {
    CenterOnOwner();
    return TRUE;
}

INT_PTR CBusyDlg::DialogProc(UINT msg, WPARAM, LPARAM) {
    if (msg == WM_DESTROY) EndDialog(IDOK);
    return FALSE;
}
