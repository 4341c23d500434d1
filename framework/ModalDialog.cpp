// A modal dialog on a resource template of the module.
#include "framework/ModalDialog.h"

#include "framework/ErrorMacros.h"
#include "framework/ExceptionBoundary.h"
#include "framework/Module.h"

namespace fw {

INT_PTR ModalDialog::DoModal() {
    m_ended = false;
    SetLastError(ERROR_SUCCESS);
    INT_PTR result = DialogBoxParamA(ModuleInstance(), MAKEINTRESOURCEA(m_templateId), m_parent,
                                     &ModalDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    // A dialog whose window someone else destroyed ends with what it chose on the way out.
    if (m_ended) return m_result;
    // What DialogBox gives otherwise (0 for a destroyed or missing owner and for WM_QUIT)
    // is no choice of the dialog's, and 0 would read as success to many callers.
    return EndedWithoutResult(result == -1 ? HRESULT_FROM_WIN32_OR_FAIL(GetLastError()) : E_ABORT);
}

void ModalDialog::EndDialog(INT_PTR result) {
    m_ended = true;
    m_result = result;
    if (m_hWnd) ::EndDialog(m_hWnd, result);
}

BOOL ModalDialog::OnCommand(WORD id, WORD, HWND) {
    switch (id) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
    }
}

INT_PTR ModalDialog::DialogProc(UINT, WPARAM, LPARAM) { return FALSE; }

void ModalDialog::SetItemText(int id, const std::string& text) {
    SetDlgItemTextA(m_hWnd, id, text.c_str());
}

void ModalDialog::UpdateItemText(int id, const std::string& text) {
    HWND item = GetDlgItem(m_hWnd, id);
    int length = GetWindowTextLengthA(item);
    if (length == static_cast<int>(text.size())) {
        std::string shown(static_cast<size_t>(length) + 1, '\0');
        GetWindowTextA(item, &shown[0], length + 1);
        shown.resize(static_cast<size_t>(length));
        if (shown == text) return;
    }
    SetWindowTextA(item, text.c_str());
}

void ModalDialog::CenterOnOwner() {
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    RECT dlg, area;
    GetWindowRect(m_hWnd, &dlg);
    if (owner) GetWindowRect(owner, &area);
    else SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + ((area.right - area.left) - (dlg.right - dlg.left)) / 2;
    int y = area.top + ((area.bottom - area.top) - (dlg.bottom - dlg.top)) / 2;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR ModalDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) return OnInitDialog();
    INT_PTR handled = FALSE;
    if (msg == WM_COMMAND) handled = OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    if (!handled) handled = DialogProc(msg, wParam, lParam);
    return handled;
}

INT_PTR CALLBACK ModalDialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<ModalDialog*>(lParam);
        self->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    }
    if (!self) return FALSE;
    INT_PTR handled = FALSE;
    try {
        handled = self->HandleMessage(msg, wParam, lParam);
    } catch (...) {
        // What the handler was doing cannot go on; the dialog ends with the failure.
        HRESULT hr = CaughtExceptionResult();
        if (!self->m_ended) self->EndDialog(self->EndedWithoutResult(hr));
        handled = TRUE;
    }
    if (msg == WM_NCDESTROY) self->m_hWnd = nullptr;
    return handled;
}

}  // namespace fw
