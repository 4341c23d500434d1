// A modal dialog on a resource template of the module.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class ModalDialog {
public:
    ModalDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    virtual ~ModalDialog() = default;

    // Runs the dialog's own message loop; returns what EndDialog was given (also when the
    // window was destroyed after it). A dialog that ends without a result of its own
    // returns EndedWithoutResult: one whose owner was destroyed and took it along, whose
    // loop received WM_QUIT (handed on to the loop outside), whose owner was gone before
    // it opened, whose template is missing, or one of whose handlers threw.
    INT_PTR DoModal();
    HWND hwnd() const { return m_hWnd; }

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    virtual BOOL OnCommand(WORD id, WORD code, HWND control);
    // What DoModal returns for a dialog that ended without a result of its own; why is
    // E_ABORT when it was torn down from outside, else the failure. The base returns -1,
    // what DialogBox gives for a dialog that could not run: never IDOK.
    virtual INT_PTR EndedWithoutResult(HRESULT why) {
        (void)why;
        return -1;
    }
    // Messages not handled here; TRUE when handled.
    virtual INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void EndDialog(INT_PTR result);

    void SetItemText(int id, const std::string& text);
    // The same, but only when the text differs: a refresh does not repaint what did not change.
    void UpdateItemText(int id, const std::string& text);
    void CenterOnOwner();

    HWND m_hWnd = nullptr;
    UINT m_templateId;
    HWND m_parent;

private:
    bool m_ended = false;
    INT_PTR m_result = -1;
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

}  // namespace fw
