// The request client's direct requests against the local test server: the message
// source into a file (downloademl.asp) and the user query (wGetUserSimple.asp).
#include "DialogWatch.h"
#include "DownloadTestSupport.h"
#include "TestServerClient.h"

#include "download/DownloadEmlFile.h"
#include "download/QueryUserInfo.h"
#include "res/Texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class InternetRequestsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.ReadyForTest());
        m_folder = TempFolder() + "nvatt-eml-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_folder.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& path : m_files) DeleteFileA(path.c_str());
        RemoveDirectoryA(m_folder.c_str());
    }

    TestServerClient m_server;
    std::string m_folder;  // without a trailing backslash, as a save dialog gives it
    std::vector<std::string> m_files;
};

TEST_F(InternetRequestsTest, QueryUserInfoJoinsTheAnswersLines) {
    // 10000 "x", a line feed, "z": the line spans several reads.
    const std::string longLine(10000, 'x');
    struct Case {
        const char* what;
        std::string plan;
        std::string answer;
    } cases[] = {
        {"three lines", R"({"body": "N;홍길동\nC;김철수\nP;이영희"})", "N;홍길동\nC;김철수\nP;이영희"},
        {"three lines, the last ended", R"({"body": "N\nC\nP\n"})", "N\nC\nP"},
        {"lines ended by CR LF keep the CR", R"({"body": "N;a\r\nP;b\r\n"})", "N;a\r\nP;b\r"},
        {"an empty line inside", R"({"body": "a\n\nb"})", "a\n\nb"},
        {"nothing", R"({"body": ""})", ""},
        {"one line feed", R"({"body": "\n"})", ""},
        {"a line longer than the read buffer", "{\"body\": \"" + longLine + "\\nz\"}", longLine + "\nz"},
        {"an error page is an answer", R"({"status": 404, "body": "없음"})", "없음"},
        {"no server: a failure and no answer", "", ""},
    };
    int count = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string answer = "old";
        if (c.plan.empty()) {
            EXPECT_TRUE(FAILED(QueryUserInfo("http://127.0.0.1:1/fb/", "hong", &answer)));
            EXPECT_EQ(answer, "");
            continue;
        }
        ASSERT_TRUE(m_server.SetRoute("/fb/wGetUserSimple.asp", c.plan));
        EXPECT_EQ(QueryUserInfo(m_server.Url("/fb/"), "hong;kim;", &answer), S_OK);
        EXPECT_EQ(answer, c.answer);
        std::vector<ServerRequest> requests;
        ASSERT_TRUE(m_server.Requests("/fb/wGetUserSimple.asp", ++count, &requests));
        EXPECT_EQ(requests.back().method, "GET");
        // The ids go into the query as they are.
        EXPECT_EQ(requests.back().query, "UserIDs=hong;kim;");
    }
}

TEST_F(InternetRequestsTest, DownloadEmlFileWritesFolderBackslashName) {
    // A message source: text lines and bytes of every value.
    const std::string source = "From: 홍길동\r\nSubject: 회의\r\n\r\n" + GeneratedBytes(0, 300000);
    std::string hex;
    for (unsigned char b : source) {
        static const char kDigits[] = "0123456789abcdef";
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    const std::string name = "nvatt-" + std::to_string(GetCurrentProcessId()) + ".eml";
    struct Case {
        const char* what;
        std::string folder;
        std::string written;
        std::string plan, stored;
    } cases[] = {
        {"a folder", m_folder, m_folder + "\\" + name, "{\"body_hex\": \"" + hex + "\"}", source},
        {"an empty folder is the temporary folder", "", TempFolder() + name, "", source},
        {"a folder ending in a backslash", m_folder + "\\", m_folder + "\\" + name, "", source},
        {"an error page is stored like an answer", m_folder, m_folder + "\\" + name,
         R"({"status": 404, "body": "<html>없는 메일</html>"})", "<html>없는 메일</html>"},
    };
    const std::string unused = m_folder + "\\not-this.eml";
    int count = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.plan.empty()) {
            ASSERT_TRUE(m_server.SetRoute("/forms/downloademl.asp", c.plan));
        }
        m_files.push_back(c.written);
        DeleteFileA(c.written.c_str());
        CDialogWatch watch;
        DownloadEmlFile(unused, name, c.folder, m_server.Url("/forms/"), "/mail/받은편지함/1.eml?x=1", nullptr, "메일");
        EXPECT_EQ(watch.ClosedCount(), 0) << "no message box";
        EXPECT_TRUE(ReadWholeFile(c.written) == c.stored);
        EXPECT_TRUE(FileIsClosed(c.written));
        EXPECT_EQ(GetFileAttributesA(unused.c_str()), INVALID_FILE_ATTRIBUTES) << "the full path is not used";
        std::vector<ServerRequest> requests;
        ASSERT_TRUE(m_server.Requests("/forms/downloademl.asp", ++count, &requests));
        EXPECT_EQ(requests.back().query.substr(0, 14), "dataurl=/mail/");
        EXPECT_EQ(requests.back().query.substr(requests.back().query.size() - 10), "/1.eml?x=1");
    }
}

TEST_F(InternetRequestsTest, DownloadEmlFileWithoutAServerTellsTheUserAndLeavesAnEmptyFile) {
    const std::string name = "unreachable.eml";
    const std::string written = m_folder + "\\" + name;
    m_files.push_back(written);
    // An earlier file of that name is replaced by the empty one.
    {
        HANDLE old = CreateFileA(written.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n;
        WriteFile(old, "old", 3, &n, nullptr);
        CloseHandle(old);
    }
    HWND owner = CreateWindowExW(0, L"STATIC", L"page", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    DialogLook box;
    HWND boxOwner = nullptr;
    bool icon = false;
    CDialogWatch watch([&](HWND dialog) {
        if (!box.caption.empty()) return;
        box = LookAt(dialog);
        boxOwner = GetWindow(dialog, GW_OWNER);
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            if ((GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                icon |= reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0)) == LoadIcon(nullptr, IDI_EXCLAMATION);
        }
        ClickButton(dialog, IDOK);
    });
    DownloadEmlFile(written, name, m_folder, "http://127.0.0.1:1/forms/", "/mail/1.eml", owner, "메일 저장");
    EXPECT_EQ(box.caption, "메일 저장");
    EXPECT_NE(std::find(box.labels.begin(), box.labels.end(), texts::kInternetAccessError), box.labels.end());
    EXPECT_EQ(boxOwner, owner);
    EXPECT_TRUE(icon);
    bool exists = false;
    EXPECT_EQ(ReadWholeFile(written, &exists), "");
    EXPECT_TRUE(exists);
    DestroyWindow(owner);
}

}  // namespace
