// The About box of the control.
#pragma once

#include "framework/ModalDialog.h"

class CAboutDlg final : public fw::ModalDialog {
public:
    explicit CAboutDlg(HWND parent);
};
