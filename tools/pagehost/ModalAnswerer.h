// Answers the modal UI the control shows (message boxes, file dialogs, its own dialogs)
// the way a user would, and records what was shown.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

#include "tools/pagehost/Report.h"

class CModalAnswerer {
public:
    explicit CModalAnswerer(Report& report);
    ~CModalAnswerer();

    // Watches dialogs created on this thread; hostWindow receives the answer messages.
    bool Install(HWND hostWindow);

    // Queues the answer for the next dialog of `kind` ("msgbox", "file", "folder", "dialog").
    // msgbox and dialog: a button's text ("OK", "Cancel", "Yes", "No") or its decimal id,
    // "(default)" for the default button, or "leave" to let the dialog end by itself.
    // file: paths separated by "|", or an empty text to cancel. folder: the folder to select
    // in the shell's folder browser before OK, or an empty text to cancel. msgbox and
    // dialog also: "Escape", the key pressed in the dialog. dialog also: "dblclick N",
    // a double-click on row N of the dialog's list, then OK once the dialog takes input
    // again; or an action the host handles (SetActionCallback). delayMs postpones the
    // answer (a user pressing Cancel later).
    void Queue(const std::wstring& kind, const std::wstring& action, DWORD delayMs);
    // Called with every dialog as it is recorded, before it is answered.
    void SetShownCallback(std::function<void(HWND dialog, const std::wstring& kind)> callback) {
        m_onShown = std::move(callback);
    }
    // Actions of the host's own ("deactivate"); the callback says whether it took one.
    void SetActionCallback(std::function<bool(const std::wstring& action)> callback) {
        m_onAction = std::move(callback);
    }
    // Takes the next queued answer of kind, for the host's other answerers (menus).
    bool Take(const std::wstring& kind, std::wstring* action);
    // Every answer still queued is a failure of the page: it expected UI that never came.
    void ReportUnused();

    // Called by the host window for the messages this class posts to it.
    static constexpr UINT kAnswerMessage = WM_APP + 10;
    void OnAnswerMessage(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);

private:
    struct Answer {
        std::wstring kind;
        std::wstring action;
        DWORD delayMs;
    };
    struct Pending {
        HWND dialog;
        std::wstring action;
    };

    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
    // live: the dialog is still up and can be answered, not closing by itself.
    void Handle(HWND dialog, bool live);
    bool TakeAnswer(const std::wstring& kind, Answer* answer);
    void Perform(HWND dialog, const std::wstring& kind, const std::wstring& action);
    static bool PressButton(HWND dialog, const std::wstring& action);
    void TypeFileNames(HWND dialog, const std::wstring& paths);

    Report& m_report;
    HWND m_hostWindow = nullptr;
    HHOOK m_hook = nullptr;
    std::deque<Answer> m_answers;
    std::deque<Pending> m_pending;  // delayed answers, in timer order
    UINT_PTR m_nextTimer = 100;
    std::function<void(HWND, const std::wstring&)> m_onShown;
    std::function<bool(const std::wstring&)> m_onAction;
    HWND m_okWhenEnabled = nullptr;  // a dialog to press OK in once it takes input again
};
