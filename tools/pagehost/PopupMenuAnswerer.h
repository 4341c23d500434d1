// Answers the context menus the control shows the way a user would, with the keyboard:
// the item the page named by its text, or Escape. Each menu is recorded with its items.
#pragma once

#include <windows.h>

#include "tools/pagehost/ModalAnswerer.h"
#include "tools/pagehost/Report.h"

class CPopupMenuAnswerer {
public:
    CPopupMenuAnswerer(CModalAnswerer& answers, Report& report) : m_answers(answers), m_report(report) {}
    ~CPopupMenuAnswerer();

    // Watches menus created on this thread; hostWindow receives kMenuMessage.
    bool Install(HWND hostWindow);

    static constexpr UINT kMenuMessage = WM_APP + 11;
    // Called by the host window, from the menu's own loop, once the menu is up.
    void OnMenuMessage(WPARAM wParam);

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);

    CModalAnswerer& m_answers;
    Report& m_report;
    HWND m_hostWindow = nullptr;
    HHOOK m_hook = nullptr;
};
