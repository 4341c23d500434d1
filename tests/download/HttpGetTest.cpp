// CHttpGet against the local test server: the callbacks a subclass gets, in their order
// and on the submitting thread, the exact bytes, Close and deletion at any moment, and
// the faults of servers and connections.
#include "DownloadTestSupport.h"
#include "TestServerClient.h"

#include "transfer/HttpGet.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct Call {
    explicit Call(std::string w, ULONG p = 0, ULONG m = 0, ULONG c = 0)
        : what(std::move(w)), progress(p), maximum(m), code(c) {}
    std::string what;  // "bind", "progress", "data", "stop"
    ULONG progress = 0, maximum = 0, code = 0;  // progress; data: size in progress, flags in code
    HRESULT result = S_OK;
    bool hasText = false;
    std::string text;
    DWORD thread = 0;
};

// Records every callback into a log that outlives it, drains data in 1 KB reads, and
// lets a test act from inside any callback.
class CRecordingGet : public CHttpGet {
public:
    explicit CRecordingGet(std::vector<Call>* log) : m_log(log) {}

    std::function<void(CRecordingGet* self, const Call& call)> afterCall;
    bool readData = true;
    std::string body;

    HRESULT GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) override {
        HRESULT hr = CHttpGet::GetBindInfo(bindFlags, bindInfo);
        Record(Call("bind"));
        return hr;
    }
    void OnProgress(ULONG progress, ULONG maximum, ULONG code, const char* text) override {
        Call c("progress", progress, maximum, code);
        c.hasText = text != nullptr;
        if (text) c.text = text;
        Record(c);
    }
    void OnDataAvailable(DWORD flags, DWORD size) override {
        if (readData) {
            char buffer[1024];
            for (DWORD n; (n = Read(buffer, sizeof(buffer))) > 0;) body.append(buffer, n);
        }
        Record(Call("data", size, 0, flags));
    }
    void OnStopBinding(HRESULT result, const char* text) override {
        Call c("stop");
        c.result = result;
        c.hasText = text != nullptr;
        if (text) c.text = text;
        Record(c);
    }

private:
    void Record(Call c) {
        c.thread = GetCurrentThreadId();
        m_log->push_back(c);
        if (afterCall) afterCall(this, m_log->back());  // may delete this
    }
    std::vector<Call>* m_log;
};

int CountOf(const std::vector<Call>& log, const std::string& what) {
    int n = 0;
    for (const Call& c : log) n += c.what == what;
    return n;
}

bool Stopped(const std::vector<Call>& log) { return CountOf(log, "stop") > 0; }

std::string Describe(const std::vector<Call>& log) {
    std::string out;
    for (const Call& c : log) {
        out += c.what + "(" + std::to_string(c.progress) + "," + std::to_string(c.maximum) + "," +
               std::to_string(c.code) + ") ";
    }
    return out;
}

// The order a subclass relies on: request statuses, then BEGINDOWNLOADDATA before the
// first data, DOWNLOADINGDATA before each further data, ENDDOWNLOADDATA before the last,
// OnStopBinding once at the very end; all on this thread.
void ExpectWellFormedSuccess(const std::vector<Call>& log, const std::string& body, bool hasLength) {
    SCOPED_TRACE(Describe(log));
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log.front().what, "bind");
    for (const Call& c : log) EXPECT_EQ(c.thread, GetCurrentThreadId()) << c.what;
    ASSERT_EQ(log.back().what, "stop");
    EXPECT_EQ(log.back().result, S_OK);
    EXPECT_FALSE(log.back().hasText);
    EXPECT_EQ(CountOf(log, "stop"), 1);

    size_t i = 1;
    ULONG lastStatus = 0;
    for (; i < log.size() && log[i].what == "progress" && log[i].code != BINDSTATUS_BEGINDOWNLOADDATA; ++i) {
        const ULONG allowed[] = {BINDSTATUS_FINDINGRESOURCE, BINDSTATUS_CONNECTING, BINDSTATUS_SENDINGREQUEST,
                                 BINDSTATUS_MIMETYPEAVAILABLE};
        EXPECT_NE(std::find(std::begin(allowed), std::end(allowed), log[i].code), std::end(allowed)) << log[i].code;
        EXPECT_GT(log[i].code == BINDSTATUS_MIMETYPEAVAILABLE ? 100u : log[i].code, lastStatus) << "statuses in order";
        lastStatus = log[i].code == BINDSTATUS_MIMETYPEAVAILABLE ? 100u : log[i].code;
        EXPECT_EQ(log[i].progress, 0u);
    }
    // Then pairs of (progress 4/5/6, data) with the same byte count.
    int pairs = 0;
    ULONG previous = 0;
    for (; i + 1 < log.size() - 1; i += 2, ++pairs) {
        const Call& p = log[i];
        const Call& d = log[i + 1];
        if (p.what == "progress" && p.code == BINDSTATUS_BEGINDOWNLOADDATA && i + 2 < log.size() &&
            log[i + 1].what == "progress" && log[i + 1].code == BINDSTATUS_ENDDOWNLOADDATA) {
            // The first notification is also the last: BEGIN, END, then data.
            EXPECT_EQ(pairs, 0);
            const Call& data = log[i + 2];
            EXPECT_EQ(data.what, "data");
            EXPECT_EQ(data.code, static_cast<ULONG>(BSCF_FIRSTDATANOTIFICATION | BSCF_LASTDATANOTIFICATION));
            EXPECT_EQ(data.progress, body.size());
            i += 1;
            ++pairs;
            previous = data.progress;
            continue;
        }
        ASSERT_EQ(p.what, "progress");
        ASSERT_EQ(d.what, "data");
        bool last = i + 2 == log.size() - 1;
        ULONG expectedCode = pairs == 0 ? BINDSTATUS_BEGINDOWNLOADDATA
                                        : last ? BINDSTATUS_ENDDOWNLOADDATA : BINDSTATUS_DOWNLOADINGDATA;
        EXPECT_EQ(p.code, expectedCode) << "pair " << pairs;
        DWORD expectedFlags = pairs == 0 ? BSCF_FIRSTDATANOTIFICATION
                                         : last ? BSCF_LASTDATANOTIFICATION : BSCF_INTERMEDIATEDATANOTIFICATION;
        EXPECT_EQ(d.code, expectedFlags) << "pair " << pairs;
        EXPECT_EQ(p.progress, d.progress);
        EXPECT_GE(p.progress, previous);
        EXPECT_EQ(p.maximum, hasLength ? body.size() : 0u);
        EXPECT_TRUE(p.hasText);
        previous = p.progress;
    }
    EXPECT_EQ(i, log.size() - 1) << "nothing between the last data and the stop";
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
        get->readData = true;
        get->Submit(m_server.Url("/ok.asp"), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Stopped(*log); }, 10000));
        PumpFor(100);
        EXPECT_EQ(log->back().result, S_OK) << Describe(*log);
        EXPECT_EQ(get->body, "두 번째도 됩니다");
        EXPECT_EQ(CountOf(*log, "stop"), 1);
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
    } cases[] = {
        {"small", R"({"body": "hello 세계", "headers": {"Content-Type": "text/plain; charset=euc-kr"}})",
         "hello 세계", true},
        {"empty", R"({"body": ""})", "", true},
        {"5 MB with a length", R"({"generate": 5242880})", GeneratedBytes(0, kFive), true},
        {"5 MB chunked", R"({"generate": 5242880, "framing": "chunked"})", GeneratedBytes(0, kFive), false},
        {"5 MB until the connection closes", R"({"generate": 5242880, "framing": "close"})",
         GeneratedBytes(0, kFive), false},
        {"dripped", R"({"generate": 3000, "drip": [1000, 0.2], "framing": "close"})", GeneratedBytes(0, 3000),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(m_server.SetRoute("/page.asp", c.plan));
        std::vector<Call> log;
        CRecordingGet get(&log);
        EXPECT_EQ(get.Submit(m_server.Url("/page.asp"), nullptr), S_OK);
        // Only GetBindInfo runs inside Submit; everything else comes from the message loop.
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].what, "bind");
        EXPECT_TRUE(get.IsRunning());
        ASSERT_TRUE(PumpUntil([&] { return Stopped(log); }, 20000)) << Describe(log);
        PumpFor(50);
        EXPECT_FALSE(get.IsRunning());
        EXPECT_EQ(get.body.size(), c.body.size());
        EXPECT_TRUE(get.body == c.body) << "the bytes differ";
        ExpectWellFormedSuccess(log, c.body, c.hasLength);
        if (c.body.size() == kFive) {
            // Streamed in several notifications, not collected first.
            EXPECT_GE(CountOf(log, "data"), 2);
        }
        if (std::string(c.what) == "dripped") {
            // A slow server is shown as its bytes come, not in whole blocks.
            EXPECT_GE(CountOf(log, "data"), 3);
        }
    }
    std::vector<ServerRequest> requests;
    ASSERT_TRUE(m_server.Requests("/page.asp", 6, &requests));
    for (const ServerRequest& r : requests) EXPECT_EQ(r.method, "GET");
}

TEST_F(HttpGetTest, StatusTextsAndTheContentType) {
    ASSERT_TRUE(m_server.SetRoute("/typed.asp", R"({"body": "x", "headers": {"Content-Type": "application/msword"}})"));
    std::vector<Call> log;
    CRecordingGet get(&log);
    get.Submit(m_server.Url("/typed.asp"), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Stopped(log); }, 10000));
    std::vector<std::pair<ULONG, std::string>> statuses;
    for (const Call& c : log) {
        if (c.what == "progress") statuses.emplace_back(c.code, c.text);
    }
    const std::vector<std::pair<ULONG, std::string>> expected = {
        {BINDSTATUS_FINDINGRESOURCE, "127.0.0.1"},
        {BINDSTATUS_CONNECTING, "127.0.0.1"},
        {BINDSTATUS_SENDINGREQUEST, "/typed.asp"},
        {BINDSTATUS_MIMETYPEAVAILABLE, "application/msword"},
        {BINDSTATUS_BEGINDOWNLOADDATA, m_server.Url("/typed.asp")},
        {BINDSTATUS_ENDDOWNLOADDATA, m_server.Url("/typed.asp")},
    };
    EXPECT_EQ(statuses, expected) << Describe(log);
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
    // RemoveAll forgets the fields.
    get.AddField("x", "1");
    get.RemoveAll();
    log.clear();
    get.Submit(m_server.Url("/q.asp"), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Stopped(log); }, 10000));
    std::vector<ServerRequest> requests;
    ASSERT_TRUE(m_server.Requests("/q.asp", ++count, &requests));
    EXPECT_EQ(requests.back().query, "");
}

TEST_F(HttpGetTest, CloseFromInsideACallbackEndsEverything) {
    // The body is dripped, so every kind of notification happens.
    ASSERT_TRUE(m_server.SetRoute("/drip.asp", R"({"generate": 600000, "drip": [100000, 0.15]})"));
    struct Case {
        const char* what;
        std::function<bool(const Call&)> closeAfter;
    } cases[] = {
        {"in GetBindInfo", [](const Call& c) { return c.what == "bind"; }},
        {"in a request status", [](const Call& c) { return c.what == "progress" && c.code == BINDSTATUS_CONNECTING; }},
        {"in BEGINDOWNLOADDATA", [](const Call& c) { return c.what == "progress" && c.code == BINDSTATUS_BEGINDOWNLOADDATA; }},
        {"in DOWNLOADINGDATA", [](const Call& c) { return c.what == "progress" && c.code == BINDSTATUS_DOWNLOADINGDATA; }},
        {"in the first OnDataAvailable", [](const Call& c) { return c.what == "data"; }},
        {"in a later OnDataAvailable",
         [](const Call& c) { return c.what == "data" && c.code == BSCF_INTERMEDIATEDATANOTIFICATION; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Call> log;
        CRecordingGet get(&log);
        size_t closedAt = 0;
        get.afterCall = [&](CRecordingGet* self, const Call& call) {
            if (closedAt == 0 && c.closeAfter(call)) {
                closedAt = log.size();
                self->Close();
            }
        };
        get.Submit(m_server.Url("/drip.asp"), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return closedAt != 0; }, 10000)) << Describe(log);
        EXPECT_FALSE(get.IsRunning());
        char buffer[16];
        EXPECT_EQ(get.Read(buffer, sizeof(buffer)), 0u) << "Close drops what was not read";
        // The server would go on for another 0.9 s: nothing of it may arrive.
        PumpFor(1200);
        EXPECT_EQ(log.size(), closedAt) << Describe(log);
        EXPECT_EQ(CountOf(log, "stop"), 0);
        ExpectSecondDownloadWorks(&get, &log);
    }
}

TEST_F(HttpGetTest, DeletedFromInsideACallbackNothingFollows) {
    ASSERT_TRUE(m_server.SetRoute("/drip.asp", R"({"generate": 400000, "drip": [100000, 0.1]})"));
    ASSERT_TRUE(m_server.SetRoute("/small.asp", R"({"body": "작다"})"));
    struct Case {
        const char* what;
        const char* page;
        std::function<bool(const Call&)> deleteAfter;
    } cases[] = {
        {"in BEGINDOWNLOADDATA", "/drip.asp",
         [](const Call& c) { return c.what == "progress" && c.code == BINDSTATUS_BEGINDOWNLOADDATA; }},
        {"in OnDataAvailable", "/drip.asp", [](const Call& c) { return c.what == "data"; }},
        {"in ENDDOWNLOADDATA", "/small.asp",
         [](const Call& c) { return c.what == "progress" && c.code == BINDSTATUS_ENDDOWNLOADDATA; }},
        {"in OnStopBinding", "/small.asp", [](const Call& c) { return c.what == "stop"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Call> log;
        auto* get = new CRecordingGet(&log);
        size_t deletedAt = 0;
        get->afterCall = [&](CRecordingGet* self, const Call& call) {
            if (deletedAt == 0 && c.deleteAfter(call)) {
                deletedAt = log.size();
                delete self;
            }
        };
        get->Submit(m_server.Url(c.page), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return deletedAt != 0; }, 10000)) << Describe(log);
        PumpFor(800);
        EXPECT_EQ(log.size(), deletedAt) << Describe(log);
    }
}

TEST_F(HttpGetTest, DestroyedOrClosedWhileTheServerStalls) {
    ASSERT_TRUE(m_server.SetRoute("/stall.asp", R"({"generate": 300000, "stall_after": [65536, 3]})"));
    ASSERT_TRUE(m_server.SetRoute("/small.asp", R"({"body": "새 요청"})"));
    std::vector<Call> log;
    {
        auto get = std::make_unique<CRecordingGet>(&log);
        get->Submit(m_server.Url("/stall.asp"), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return CountOf(log, "data") > 0; }, 10000)) << Describe(log);
        ULONGLONG start = GetTickCount64();
        get.reset();
        EXPECT_LT(GetTickCount64() - start, 500u) << "destruction waited for the stalled server";
    }
    size_t before = log.size();
    // A closed transfer's late bytes must not reach the next request of the same object.
    CRecordingGet get(&log);
    get.Submit(m_server.Url("/stall.asp"), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return CountOf(log, "data") > 1 || Stopped(log); }, 10000)) << Describe(log);
    get.Close();
    log.clear();
    get.body.clear();
    get.Submit(m_server.Url("/small.asp"), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Stopped(log); }, 10000));
    PumpFor(3500);  // the stalled transfer's server goes on meanwhile
    EXPECT_EQ(get.body, "새 요청");
    ExpectWellFormedSuccess(log, "새 요청", true);
    (void)before;
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
        {"500", "/error.asp", R"({"status": 500, "body": "오류"})", MAKE_HRESULT(SEVERITY_ERROR, FACILITY_HTTP, 500), 0},
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
        std::string url = c.url[0] == '/' ? m_server.Url(c.url) : c.url;
        ULONGLONG start = GetTickCount64();
        get.Submit(url, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Stopped(log); }, 15000)) << Describe(log);
        EXPECT_LT(GetTickCount64() - start, 5000u) << "the failure took too long to show";
        PumpFor(100);
        EXPECT_EQ(CountOf(log, "stop"), 1);
        ASSERT_EQ(log.back().what, "stop");
        EXPECT_TRUE(FAILED(log.back().result)) << std::hex << log.back().result;
        if (c.expected != kAnyFailure) {
            EXPECT_EQ(log.back().result, c.expected);
        }
        EXPECT_TRUE(log.back().hasText && !log.back().text.empty());
        for (const Call& call : log) {
            EXPECT_FALSE(call.what == "progress" && call.code == BINDSTATUS_ENDDOWNLOADDATA) << "a failure has no end of data";
        }
        if (HRESULT_FACILITY(c.expected) == FACILITY_HTTP) {
            EXPECT_EQ(CountOf(log, "data"), 0) << "an error page is not handed out";
        }
        // What did arrive was handed out before the failure, byte for byte.
        EXPECT_GE(get.body.size(), c.minimumBytes);
        EXPECT_TRUE(get.body == GeneratedBytes(0, get.body.size()) || get.body.empty());
        ExpectSecondDownloadWorks(&get, &log);
    }
}

TEST_F(HttpGetTest, WhatTheServerSaysCounts) {
    struct Case {
        const char* what;
        const char* plan;
        std::string body;
    } cases[] = {
        // The length ends the body; what the server sends beyond it is not part of it.
        {"length shorter than the body", R"({"generate": 200000, "content_length": 100000})", GeneratedBytes(0, 100000)},
        {"redirect followed", R"({"status": 302, "location": "{base}/ok.asp", "body": "moved"})", "두 번째도 됩니다"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(m_server.SetRoute("/page.asp", c.plan));
        std::vector<Call> log;
        CRecordingGet get(&log);
        get.Submit(m_server.Url("/page.asp"), nullptr);
        ASSERT_TRUE(PumpUntil([&] { return Stopped(log); }, 10000));
        EXPECT_EQ(log.back().result, S_OK) << Describe(log);
        EXPECT_TRUE(get.body == c.body) << get.body.size() << " " << get.body.substr(0, 40);
    }
}

}  // namespace
