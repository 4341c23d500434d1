// The About box of the control.
#include "control/AboutDlg.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg(HWND parent) : fw::ModalDialog(IDD_ABOUTBOX_NVATT, parent) {}
