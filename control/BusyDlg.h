// CBusyDlg: the "please wait" popup shown while a server registration runs.
#pragma once

#include "framework/ModalDialog.h"

class CBusyDlg final : public fw::ModalDialog {
public:
    explicit CBusyDlg(HWND owner = nullptr);
    void SetOwner(HWND owner) { m_parent = owner; }

protected:
    BOOL OnInitDialog() override;
    // Whoever destroys the popup's window (the answer of the request) ends it as with OK.
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
