// CHttpGet against the local test server: the callbacks a subclass gets, in their order
// and on the submitting thread, the exact bytes, Close and deletion at any moment, and
// the faults of servers and connections.
#include "DownloadTestSupport.h"
#include "TestServerClient.h"

#include "transfer/HttpGet.h"

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

namespace {

struct Call {
    Call(std::string t, ULONG b = 0, ULONG m = 0, const char* s = nullptr, HRESULT r = S_OK)
        : token(std::move(t)), bytes(b), maximum(m), result(r), hasText(s != nullptr), text(s ? s : "") {}
    std::string token;  // "bind", "s<status>", "B" "P" "E" (begin, more, end of data), "D<flags>", "stop"
    ULONG bytes, maximum;
    HRESULT result;
    bool hasText;
    std::string text;
};

// Records every callback, drains data in 1 KB reads, and lets a test act from inside any
// callback (the action may delete the object).
class CRecordingGet : public CHttpGet {
public:
    explicit CRecordingGet(std::vector<Call>* log) : m_log(log) {}
    std::function<void(CRecordingGet* self, const Call& call)> afterCall;
    std::string body;

    HRESULT GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) override {
        HRESULT hr = CHttpGet::GetBindInfo(bindFlags, bindInfo);
        Record(Call("bind"));
        return hr;
    }
    void OnProgress(ULONG progress, ULONG maximum, ULONG code, const char* text) override {
        const char* data[] = {"B", "P", "E"};
        bool ofData = code >= BINDSTATUS_BEGINDOWNLOADDATA && code <= BINDSTATUS_ENDDOWNLOADDATA;
        Record(Call(ofData ? data[code - BINDSTATUS_BEGINDOWNLOADDATA] : "s" + std::to_string(code), progress,
                    maximum, text));
    }
    void OnDataAvailable(DWORD flags, DWORD size) override {
        char buffer[1024];
        for (DWORD n; (n = Read(buffer, sizeof(buffer))) > 0;) body.append(buffer, n);
        Record(Call("D" + std::to_string(flags), size));
    }
    void OnStopBinding(HRESULT result, const char* text) override {
        Record(Call("stop", 0, 0, text, result));
    }

private:
    void Record(Call c) {
        if (GetCurrentThreadId() != m_thread) c.token += "@other-thread";
        m_log->push_back(c);
        if (afterCall) afterCall(this, m_log->back());
    }
    std::vector<Call>* m_log;
    DWORD m_thread = GetCurrentThreadId();
};

std::string Trace(const std::vector<Call>& log) {
    std::string out;
    for (const Call& c : log) out += (out.empty() ? "" : " ") + c.token;
    return out;
}

int CountOf(const std::vector<Call>& log, const std::string& token) {
    int n = 0;
    for (const Call& c : log) n += c.token == token;
    return n;
}

bool Stopped(const std::vector<Call>& log) { return CountOf(log, "stop") > 0; }

// The order a subclass relies on: request statuses in order, then each data notification
// after its progress with the same byte count (begin and first, more and intermediate,
// end and last, or begin, end and one first-and-last), one stop at the very end; all
// on this thread.
void ExpectWellFormedSuccess(const std::vector<Call>& log, const std::string& body, bool hasLength) {
    const std::regex kOrder("bind( s1)?( s2)?( s11)?( s13)? (B D1( P D2)* E D4|B E D5) stop");
    ASSERT_TRUE(std::regex_match(Trace(log), kOrder)) << Trace(log);
    EXPECT_EQ(log.back().result, S_OK);
    EXPECT_FALSE(log.back().hasText);
    ULONG previous = 0;
    for (size_t i = 0; i + 1 < log.size(); ++i) {
        const Call& p = log[i];
        if (p.token[0] == 's') {
            EXPECT_EQ(p.bytes, 0u) << p.token;
        }
        if (p.token != "B" && p.token != "P" && p.token != "E") continue;
        const Call& data = log[i + 1].token == "E" ? log[i + 2] : log[i + 1];
        EXPECT_EQ(p.bytes, data.bytes) << i;
        EXPECT_GE(p.bytes, previous) << i;
        EXPECT_EQ(p.maximum, hasLength ? body.size() : 0u) << i;
        EXPECT_TRUE(p.hasText) << i;
        previous = p.bytes;
    }
    EXPECT_EQ(previous, body.size());
}

class HttpGetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.ReadyForTest());
        ASSERT_TRUE(m_server.SetRoute("/ok.asp", R"({"body": "두 번째도 됩니다"})"));
    }

    // Downloads /ok.asp with the same object: a failed or closed transfer leaves it usable.
    void ExpectSecondDownloadWorks(CRecordingGet* get, std::vector<Call>* log) {
        log->clear();
        get->body.clear();
        get->afterCall = nullptr;
        get->Submit(m_server.Url("/ok.asp"), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Stopped(*log); }, 10000));
        PumpFor(100);
        EXPECT_EQ(get->body, "두 번째도 됩니다");
        ExpectWellFormedSuccess(*log, get->body, true);
    }

    TestServerClient m_server;
};

TEST_F(HttpGetTest, CallbacksComeInOrderOnTheSubmittingThreadWithTheExactBytes) {
    const size_t kFive = 5 * 1024 * 1024;
    struct Case {
        const char* what;
        const char* plan;
        std::string body;
        bool hasLength;
        int minimumData;  // data notifications: a big or slow body is handed out as it comes
    } cases[] = {
        {"small", R"({"body": "hello 세계"})", "hello 세계", true, 1},
        {"empty", R"({"body": ""})", "", true, 1},
        {"5 MB with a length", R"({"generate": 5242880})", GeneratedBytes(0, kFive), true, 2},
        {"5 MB chunked", R"({"generate": 5242880, "framing": "chunked"})", GeneratedBytes(0, kFive), false, 2},
        {"5 MB until the connection closes", R"({"generate": 5242880, "framing": "close"})",
         GeneratedBytes(0, kFive), false, 2},
        {"dripped", R"({"generate": 3000, "drip": [1000, 0.2], "framing": "close"})", GeneratedBytes(0, 3000),
         false, 3},
        // The length ends the body; what the server sends beyond it is not part of it.
        {"length shorter than the body", R"({"generate": 200000, "content_length": 100000})",
         GeneratedBytes(0, 100000), true, 1},
        {"redirect followed", R"({"status": 302, "location": "{base}/ok.asp", "body": "moved"})",
         "두 번째도 됩니다", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(m_server.SetRoute("/page.asp", c.plan));
        std::vector<Call> log;
        CRecordingGet get(&log);
        EXPECT_EQ(get.Submit(m_server.Url("/page.asp"), nullptr), S_OK);
        // Only GetBindInfo runs inside Submit; everything else comes from the message loop.
        EXPECT_EQ(Trace(log), "bind");
        EXPECT_TRUE(get.IsRunning());
        ASSERT_TRUE(PumpUntil([&] { return Stopped(log); }, 20000)) << Trace(log);
        PumpFor(50);
        EXPECT_FALSE(get.IsRunning());
        EXPECT_EQ(get.body.size(), c.body.size());
        EXPECT_TRUE(get.body == c.body) << "the bytes differ";
        ExpectWellFormedSuccess(log, c.body, c.hasLength);
        int data = 0;
        for (const Call& call : log) data += call.token[0] == 'D';
        EXPECT_GE(data, c.minimumData);
    }
    std::vector<ServerRequest> requests;
    ASSERT_TRUE(m_server.Requests("/page.asp", 8, &requests));
    for (const ServerRequest& r : requests) EXPECT_EQ(r.method, "GET");
}

TEST_F(HttpGetTest, FieldsMakeTheQuery) {
    ASSERT_TRUE(m_server.SetRoute("/q.asp", R"({"body": "ok"})"));
    struct Case {
        const char* what;
        std::string url;
        std::vector<std::pair<std::string, std::string>> fields;
        std::string query;
    } cases[] = {
        {"no fields", "/q.asp", {}, ""},
        {"values encoded", "/q.asp", {{"name", "홍 길동&x=1"}, {"mode", "2"}}, "name=%C8%AB%20%B1%E6%B5%BF%26x%3D1&mode=2"},
        {"after a query", "/q.asp?id=7", {{"a", "b-c"}}, "id=7&a=b%2Dc"},
        {"after a bare question mark", "/q.asp?", {{"a", "1"}}, "a=1"},
        {"before a fragment", "/q.asp#top", {{"a", "1"}}, "a=1"},
        // RemoveAll forgot the earlier fields.
        {"after RemoveAll", "/q.asp", {}, ""},
    };
    int count = 0;
    std::vector<Call> log;
    CRecordingGet get(&log);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        get.RemoveAll();
        for (const auto& [name, value] : c.fields) get.AddField(name, value);
        log.clear();
        get.Submit(m_server.Url(c.url), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Stopped(log); }, 10000));
        std::vector<ServerRequest> requests;
        ASSERT_TRUE(m_server.Requests("/q.asp", ++count, &requests));
        EXPECT_EQ(requests.back().query, c.query);
    }
}

TEST_F(HttpGetTest, ClosedOrDeletedFromInsideACallbackNothingFollows) {
    // The body is dripped, so every kind of notification happens.
    ASSERT_TRUE(m_server.SetRoute("/drip.asp", R"({"generate": 600000, "drip": [100000, 0.15]})"));
    ASSERT_TRUE(m_server.SetRoute("/small.asp", R"({"body": "작다"})"));
    struct Case {
        const char* token;  // the callback after which the test acts
        const char* page;
        bool remove;        // delete the object rather than Close it
    } cases[] = {
        {"bind", "/drip.asp", false},  {"s2", "/drip.asp", false}, {"B", "/drip.asp", false},
        {"P", "/drip.asp", false},     {"D1", "/drip.asp", false}, {"D2", "/drip.asp", false},
        {"B", "/drip.asp", true},      {"D1", "/drip.asp", true},  {"E", "/small.asp", true},
        {"stop", "/small.asp", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.remove ? "deleted after " : "closed after ") + c.token);
        std::vector<Call> log;
        auto* get = new CRecordingGet(&log);
        size_t actedAt = 0;
        get->afterCall = [&](CRecordingGet* self, const Call& call) {
            if (actedAt != 0 || call.token != c.token) return;
            actedAt = log.size();
            if (c.remove) delete self;
            else self->Close();
        };
        get->Submit(m_server.Url(c.page), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return actedAt != 0; }, 10000)) << Trace(log);
        if (!c.remove) {
            EXPECT_FALSE(get->IsRunning());
            char buffer[16];
            EXPECT_EQ(get->Read(buffer, sizeof(buffer)), 0u) << "Close drops what was not read";
        }
        // The server would go on for another 0.9 s: nothing of it may arrive.
        PumpFor(1200);
        EXPECT_EQ(log.size(), actedAt) << Trace(log);
        if (!c.remove) {
            ExpectSecondDownloadWorks(get, &log);
            delete get;
        }
    }
}

TEST_F(HttpGetTest, DestroyedOrClosedWhileTheServerStalls) {
    ASSERT_TRUE(m_server.SetRoute("/stall.asp", R"({"generate": 300000, "stall_after": [65536, 3]})"));
    ASSERT_TRUE(m_server.SetRoute("/small.asp", R"({"body": "새 요청"})"));
    std::vector<Call> log;
    {
        auto get = std::make_unique<CRecordingGet>(&log);
        get->Submit(m_server.Url("/stall.asp"), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return CountOf(log, "D1") > 0; }, 10000)) << Trace(log);
        ULONGLONG start = GetTickCount64();
        get.reset();
        EXPECT_LT(GetTickCount64() - start, 500u) << "destruction waited for the stalled server";
    }
    // A closed transfer's late bytes must not reach the next request of the same object.
    CRecordingGet get(&log);
    get.Submit(m_server.Url("/stall.asp"), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return CountOf(log, "D1") > 1 || Stopped(log); }, 10000)) << Trace(log);
    get.Close();
    log.clear();
    get.body.clear();
    get.Submit(m_server.Url("/small.asp"), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Stopped(log); }, 10000));
    PumpFor(3500);  // the stalled transfer's server goes on meanwhile
    EXPECT_EQ(get.body, "새 요청");
    ExpectWellFormedSuccess(log, "새 요청", true);
}

// A body without a length (chunked or ended by the connection) that the server cuts off
// cannot be told from a whole one here: WinInet ends such a body where the connection
// ends. Only the cases below can be, and must be, failures.
TEST_F(HttpGetTest, FailuresEndWithOneFailingStopAndTheObjectStaysUsable) {
    const HRESULT kAnyFailure = E_FAIL;
    struct Case {
        const char* what;
        const char* url;        // a path on the server, or a whole URL
        const char* plan;       // null: no page set
        HRESULT expected;       // kAnyFailure: any failing result
        size_t minimumBytes;    // handed out before the failure
        DWORD receiveMs = 60000;
    } cases[] = {
        {"server down", "http://127.0.0.1:1/x.asp", nullptr, kAnyFailure, 0},
        {"not http", "ftp://127.0.0.1/x", nullptr, HRESULT_FROM_WIN32(ERROR_INTERNET_UNRECOGNIZED_SCHEME), 0},
        {"not a URL", "nonsense", nullptr, kAnyFailure, 0},
        {"404", "/missing.asp", R"({"status": 404, "body": "<html>없음</html>"})",
         MAKE_HRESULT(SEVERITY_ERROR, FACILITY_HTTP, 404), 0},
        {"401", "/auth.asp", R"({"auth": {}, "body": "secret"})", MAKE_HRESULT(SEVERITY_ERROR, FACILITY_HTTP, 401), 0},
        // A reset connection, or a body shorter than its length, as the platform sees it.
        {"closed mid-body", "/cut.asp", R"({"generate": 5242880, "close_after": 1000000})", kAnyFailure, 0},
        {"length larger than the body", "/lie.asp", R"({"generate": 100000, "content_length": 200000})",
         HRESULT_FROM_WIN32(ERROR_INTERNET_CONNECTION_ABORTED), 100000},
        {"stall past the time-out", "/stall.asp", R"({"generate": 300000, "stall_after": [65536, 6]})",
         kAnyFailure, 65536, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.plan) {
            ASSERT_TRUE(m_server.SetRoute(c.url, c.plan));
        }
        std::vector<Call> log;
        CRecordingGet get(&log);
        GetTimeouts timeouts;
        timeouts.receiveMs = c.receiveMs;
        get.SetTimeouts(timeouts);
        ULONGLONG start = GetTickCount64();
        get.Submit(c.url[0] == '/' ? m_server.Url(c.url) : c.url, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Stopped(log); }, 15000)) << Trace(log);
        EXPECT_LT(GetTickCount64() - start, 5000u) << "the failure took too long to show";
        PumpFor(100);
        // A failure has no end of data, and an error page is not handed out.
        std::string allowed = HRESULT_FACILITY(c.expected) == FACILITY_HTTP ? "bind( s\\d+)* stop"
                                                                            : "bind( s\\d+)*( B D1( P D2)*)? stop";
        EXPECT_TRUE(std::regex_match(Trace(log), std::regex(allowed))) << Trace(log);
        EXPECT_TRUE(FAILED(log.back().result)) << std::hex << log.back().result;
        if (c.expected != kAnyFailure) {
            EXPECT_EQ(log.back().result, c.expected);
        }
        EXPECT_TRUE(log.back().hasText && !log.back().text.empty());
        // What did arrive was handed out before the failure, byte for byte.
        EXPECT_GE(get.body.size(), c.minimumBytes);
        EXPECT_TRUE(get.body == GeneratedBytes(0, get.body.size()) || get.body.empty());
        ExpectSecondDownloadWorks(&get, &log);
    }
}

}  // namespace
