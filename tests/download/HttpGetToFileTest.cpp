// HttpGetToFile against the local test server: what is stored, what is asked for, which
// diagnostics are written, and that it reports success whatever happens.
#include <gtest/gtest.h>

#include <windows.h>
#include <io.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "download/HttpGetToFile.h"
#include "tests/transfer/TestServerClient.h"
#include "tools/pagehost/ModalAnswerer.h"

namespace {

std::string TempPath(const std::string& name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "nvatt-getfile-" + name;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<no file>";
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Fetches url into target; returns the lines it wrote to standard error.
std::string GetToFile(const std::string& url, const std::string& target) {
    const std::string capture = TempPath("stderr.txt");
    std::fflush(stderr);
    int saved = _dup(_fileno(stderr));
    std::FILE* f = std::fopen(capture.c_str(), "wb");
    _dup2(_fileno(f), _fileno(stderr));
    std::fclose(f);
    EXPECT_TRUE(HttpGetToFile(url, target));
    std::fflush(stderr);
    _dup2(saved, _fileno(stderr));
    _close(saved);
    return ReadAll(capture);
}

// Answers the system's credentials prompt, which comes up in the thread's modal loop.
CModalAnswerer* s_answerer = nullptr;
LRESULT CALLBACK AnswerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == CModalAnswerer::kAnswerMessage) s_answerer->OnAnswerMessage(wParam, lParam);
    else if (msg == WM_TIMER) s_answerer->OnTimer(wParam);
    else return DefWindowProcW(hwnd, msg, wParam, lParam);
    return 0;
}

TEST(HttpGetToFile, StoresWhatTheServerAnswersAndSaysWhatHappened) {
    TestServerClient server;
    ASSERT_TRUE(server.ReadyForTest());
    const std::string target = TempPath("target.pcm");
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, const char*>> routes;
        std::string url;          // a path on the server, or a whole URL
        std::string diagnostics;  // "Error: (" at the start: that far, and a WinInet message follows
        std::string stored;       // "earlier fetch": the file of an earlier fetch stays as it was
        int requests;
    } cases[] = {
        {"a body, with the fixed headers", {{"/mail.pcm2", R"({"body_hex": "000102ff7f0d0a"})"}}, "/mail.pcm2",
         "Status Code is 200\n", std::string("\x00\x01\x02\xff\x7f\r\n", 7), 1},
        {"an error page is stored like a body", {{"/gone.pcm2", R"({"status": 404, "body": "not here"})"}},
         "/gone.pcm2", "Status Code is 404\n", "not here", 1},
        {"one redirect is followed",
         {{"/old.pcm2", R"({"status": 302, "raw_headers": ["Location: {base}/new.pcm2"]})"},
          {"/new.pcm2", R"({"body": "moved body"})"}}, "/old.pcm2", "Status Code is 200\n", "moved body", 2},
        {"a second redirect is stored, not followed",
         {{"/a", R"({"status": 302, "raw_headers": ["Location: {base}/b"]})"},
          {"/b", R"({"status": 302, "raw_headers": ["Location: {base}/c"], "body": "hop two"})"},
          {"/c", R"({"body": "never asked"})"}},
         "/a", "Error: Got status code 302\nStatus Code is 302\n", "hop two", 2},
        {"a redirect without a location writes no file", {{"/nowhere", R"({"status": 301})"}}, "/nowhere",
         "Error: Site redirects with no new location\nError: the redirected URL could not be parsed.\nError: (",
         "<no file>", 1},
        {"another scheme is reported and still tried", {{"/x", R"({"body": "plain http after all"})"}},
         "https" + server.BaseUrl().substr(4) + "/x",
         "Error: can only use URLs beginning with http://\nStatus Code is 200\n", "plain http after all", 1},
        // Port 9 (discard) has no listener on a test machine.
        {"a refused connection leaves an earlier file as it was", {}, "http://127.0.0.1:9/mail.pcm2", "Error: (",
         "earlier fetch", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(server.Reset());
        for (const auto& [path, plan] : c.routes) ASSERT_TRUE(server.SetRoute(path, plan));
        DeleteFileA(target.c_str());
        if (c.stored == "earlier fetch") std::ofstream(target, std::ios::binary) << c.stored;
        std::string diagnostics = GetToFile(c.url[0] == '/' ? server.Url(c.url) : c.url, target);
        if (c.diagnostics.size() > 7 && c.diagnostics.compare(c.diagnostics.size() - 8, 8, "Error: (") == 0) {
            EXPECT_EQ(diagnostics.rfind(c.diagnostics, 0), 0u) << diagnostics;
        } else {
            EXPECT_EQ(diagnostics, c.diagnostics);
        }
        EXPECT_EQ(ReadAll(target), c.stored);
        std::vector<ServerRequest> requests;
        ASSERT_TRUE(server.Requests("", c.requests, &requests));
        ASSERT_EQ(static_cast<int>(requests.size()), c.requests);
        for (const ServerRequest& r : requests) {
            EXPECT_EQ(r.method, "GET");
            EXPECT_EQ(r.Header("Accept"), "*/");
            EXPECT_EQ(r.Header("User-Agent"), "MFC_Tear_Sample");
        }
        // The location line's CR LF leaves a CR on the new object path (the header
        // reading is pinned by the native tests); Wine's WinInet drops it.
        if (c.requests == 2 && c.routes.size() == 2) {
            EXPECT_EQ(requests[1].requestLine, "GET /new.pcm2 HTTP/1.1");
        }
    }
    DeleteFileA(target.c_str());
}

TEST(HttpGetToFile, RefusedCredentialsPromptSendsOnceMoreAndStoresTheAnswer) {
    TestServerClient server;
    ASSERT_TRUE(server.ReadyForTest());
    ASSERT_TRUE(server.SetRoute("/locked", R"({"auth": {"challenge": "Basic realm=\"mail\""}, "body": "secret"})"));
    Report report;
    CModalAnswerer answerer(report);
    s_answerer = &answerer;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = AnswerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"NvAttTestAnswers";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"NvAttTestAnswers", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_TRUE(answerer.Install(window));
    answerer.Queue(L"dialog", L"Cancel", 0);
    const std::string target = TempPath("locked.pcm");
    EXPECT_EQ(GetToFile(server.Url("/locked"), target), "Access denied: Invalid password\nStatus Code is 401\n");
    ASSERT_EQ(report.dialogs.size(), 1u);
    EXPECT_EQ(report.dialogs[0].kind, L"dialog") << "the system's credentials prompt";
    EXPECT_EQ(report.dialogs[0].answer, L"Cancel");
    std::vector<ServerRequest> requests;
    ASSERT_TRUE(server.Requests("/locked", 2, &requests));
    EXPECT_EQ(requests.size(), 2u) << "asked once more after the prompt";
    EXPECT_NE(ReadAll(target), "secret");
    DestroyWindow(window);
    DeleteFileA(target.c_str());
}

}  // namespace
