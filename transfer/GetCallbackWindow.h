// The hidden message-only window through which a GET's worker wakes the thread that
// submitted it: its callbacks then run from that thread's message loop.
#pragma once

#include "framework/Window.h"

#include <windows.h>

class CHttpGet;

class CGetCallbackWindow final : public fw::CWindow {
public:
    static constexpr UINT kTransferMessage = WM_APP + 0x4E1;
    static constexpr UINT_PTR kLookTimer = 1;

    explicit CGetCallbackWindow(CHttpGet* owner) : m_owner(owner) {}
    [[nodiscard]] HRESULT Create();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    CHttpGet* m_owner;
};
