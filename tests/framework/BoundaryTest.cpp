// No C++ exception leaves our code for the platform's: a script call and a window
// procedure each turn one into a failure of their own kind.
#include <gtest/gtest.h>

#include <string>

#include "framework/Dispatch.h"
#include "framework/Window.h"

namespace {

// Room for text as long as its input asks: more than a process can hold.
constexpr long kHuge = 0x7FFFFFFF;
std::string Repeated(const std::string& text, long times) {
    std::string out;
    out.reserve(text.size() * static_cast<size_t>(times));
    return out;
}

struct CScriptObject {
    HRESULT Repeat(const std::string& text, long times, std::string* result) {
        *result = Repeated(text, times);
        return S_OK;
    }
};
const fw::DispMember kMembers[] = {FW_DISP_METHOD(1, "Repeat", &CScriptObject::Repeat), FW_DISP_TABLE_END};

struct CGreedyWindow final : fw::CWindow {
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_CREATE) Repeated(std::string(1 << 20, 'x'), kHuge);
        return fw::CWindow::WindowProc(msg, wParam, lParam);
    }
};

TEST(ExceptionBoundary, OutOfMemoryStopsAtTheBoundary) {
    // A script call: an automation error that names the member.
    fw::Bstr text(std::wstring(1 << 20, L'x').c_str());
    VARIANT args[2] = {};
    V_VT(&args[0]) = VT_I4;
    V_I4(&args[0]) = kHuge;
    V_VT(&args[1]) = VT_BSTR;
    V_BSTR(&args[1]) = text.get();
    DISPPARAMS params = {args, nullptr, 2, 0};
    CScriptObject object;
    fw::Variant result;
    EXCEPINFO info = {};
    EXPECT_EQ(fw::DispInvoke(&object, kMembers, 1, DISPATCH_METHOD, &params, &result, &info, nullptr), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, E_OUTOFMEMORY);
    EXPECT_EQ(std::wstring(info.bstrDescription ? info.bstrDescription : L""), L"Repeat: not enough memory");
    // A window procedure: the window is not made.
    EXPECT_EQ(CGreedyWindow().Create("NvAttGreedy", WS_OVERLAPPED, 0, RECT{0, 0, 99, 99}, nullptr, 0), nullptr);
}

}  // namespace
