// Watches the dialogs of this thread while a modal loop runs, as a user sitting in front
// of them would: looks at them every few milliseconds, presses their buttons, and sees
// what they showed last, just before they close.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// What a dialog showed: its caption, and per control id its text.
struct DialogLook {
    std::string caption;
    std::map<int, std::string> texts;
    int progress = -1;  // the position of the first progress bar
    // The texts of the statics without an id (the labels), in order.
    std::vector<std::string> labels;
};

DialogLook LookAt(HWND dialog);

class CDialogWatch {
public:
    // onTick runs from the modal loop while a dialog of this thread is up; it may press
    // buttons. The look of every dialog is kept as it closes.
    explicit CDialogWatch(std::function<void(HWND dialog)> onTick = nullptr, UINT intervalMs = 20);
    ~CDialogWatch();
    CDialogWatch(const CDialogWatch&) = delete;
    CDialogWatch& operator=(const CDialogWatch&) = delete;

    // The last dialog that closed, as it looked then.
    const DialogLook& Closed() const { return m_closed; }
    int ClosedCount() const { return m_closedCount; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);

    std::function<void(HWND)> m_onTick;
    UINT_PTR m_timer = 0;
    HHOOK m_hook = nullptr;
    DialogLook m_closed;
    int m_closedCount = 0;
};

// Presses a dialog's button as a click would.
void ClickButton(HWND dialog, int id);
// Presses and releases a key in the dialog.
void PressKey(HWND dialog, UINT key);
