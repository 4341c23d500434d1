// CNotifyGet against the local test server: the one WM_COPYDATA its window receives for
// every request (the answer's bytes, or no data on failure), and idle again afterwards.
#include "DownloadTestSupport.h"
#include "TestServerClient.h"

#include "download/NotifyGet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Received {
    WPARAM wParam;
    ULONG_PTR code;
    DWORD size;
    bool nullData;
    std::string bytes;
    DWORD thread;
};

std::vector<Received>* g_received = nullptr;

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COPYDATA && g_received) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        Received r{wParam, data->dwData, data->cbData, data->lpData == nullptr, std::string(), GetCurrentThreadId()};
        if (data->lpData) r.bytes.assign(static_cast<const char*>(data->lpData), data->cbData);
        g_received->push_back(r);
        return 1;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class NotifyGetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.ReadyForTest());
        WNDCLASSW wc = {};
        wc.lpfnWndProc = TargetProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"NvAttNotifyTarget";
        RegisterClassW(&wc);
        m_target = CreateWindowExW(0, L"NvAttNotifyTarget", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(m_target);
        g_received = &m_received;
    }
    void TearDown() override {
        g_received = nullptr;
        DestroyWindow(m_target);
    }

    // Makes a request the way the control's callers do, and waits for its answer.
    void Request(CNotifyGet* get, const std::string& path, DWORD code, HWND window) {
        size_t before = m_received.size();
        get->RemoveAll();
        get->m_hNotifyWnd = window;
        get->m_nRequestCode = code;
        get->Submit(m_server.Url(path), nullptr);
        PumpUntil([&] { return m_received.size() > before || get->m_nRequestCode == static_cast<DWORD>(-1); }, 20000);
        PumpFor(100);
    }

    TestServerClient m_server;
    HWND m_target = nullptr;
    std::vector<Received> m_received;
};

TEST_F(NotifyGetTest, OneCopyDataMessagePerRequestThenIdle) {
    CNotifyGet get;
    EXPECT_EQ(get.m_nRequestCode, static_cast<DWORD>(-1));
    EXPECT_EQ(get.m_hNotifyWnd, nullptr);
    struct Case {
        const char* what;
        const char* path;
        const char* plan;
        DWORD code;
        std::string bytes;  // empty: the message carries no data
    } cases[] = {
        {"an answer", "/SaveDBMailInfo.asp", R"({"body": "1;등록되었습니다\r\n둘째 줄"})", 15,
         "1;등록되었습니다\r\n둘째 줄"},
        {"a long binary answer", "/GetPhysicalPath.asp", R"({"generate": 300000, "framing": "chunked"})", 22,
         GeneratedBytes(0, 300000)},
        {"an empty answer", "/status.asp", R"({"body": ""})", 14, ""},
        // Which transfers fail is CHttpGet's table; a failure carries no data.
        {"an error page", "/SaveDBSignInfo.asp", R"({"status": 500, "body": "오류"})", 21, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(m_server.SetRoute(c.path, c.plan));
        m_received.clear();
        Request(&get, c.path, c.code, m_target);
        ASSERT_EQ(m_received.size(), 1u);
        const Received& r = m_received[0];
        EXPECT_EQ(r.wParam, 0u);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.size, c.bytes.size());
        EXPECT_EQ(r.nullData, c.bytes.empty());
        EXPECT_TRUE(r.bytes == c.bytes);
        EXPECT_EQ(r.thread, GetCurrentThreadId());
        // Idle again, the body gone.
        EXPECT_EQ(get.m_nRequestCode, static_cast<DWORD>(-1));
        EXPECT_EQ(get.m_hNotifyWnd, nullptr);
        EXPECT_EQ(get.GetBodySize(), 0u);
        EXPECT_FALSE(get.IsRunning());
    }
}

TEST_F(NotifyGetTest, AWindowThatIsGoneGetsNothingAndTheRequestStillEnds) {
    ASSERT_TRUE(m_server.SetRoute("/late.asp", R"({"body": "늦은 답", "delay": 0.3})"));
    HWND gone = CreateWindowExW(0, L"NvAttNotifyTarget", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(gone);
    CNotifyGet get;
    get.m_hNotifyWnd = gone;
    get.m_nRequestCode = 15;
    get.Submit(m_server.Url("/late.asp"), nullptr);
    DestroyWindow(gone);
    ASSERT_TRUE(PumpUntil([&] { return get.m_nRequestCode == static_cast<DWORD>(-1); }, 10000));
    EXPECT_EQ(get.m_hNotifyWnd, nullptr);
    EXPECT_TRUE(m_received.empty());
}

TEST_F(NotifyGetTest, ClosedRequestSendsNothing) {
    ASSERT_TRUE(m_server.SetRoute("/late.asp", R"({"body": "늦은 답", "delay": 0.5})"));
    CNotifyGet get;
    get.m_hNotifyWnd = m_target;
    get.m_nRequestCode = 22;
    get.Submit(m_server.Url("/late.asp"), nullptr);
    PumpFor(100);
    get.Close();
    PumpFor(1000);
    EXPECT_TRUE(m_received.empty());
}

}  // namespace
