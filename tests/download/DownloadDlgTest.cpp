// The download and receive dialogs against the local test server, driven as a user
// drives them: what they show while the bytes come and as they close, the files they
// leave, Cancel and Esc in the middle, destinations that cannot be made.
#include "DialogWatch.h"
#include "DownloadTestSupport.h"
#include "TestServerClient.h"

#include "download/DownloadDlg.h"
#include "download/ReceiveDlg.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

int LeadingNumber(const std::string& text) { return std::atoi(text.c_str()); }

HRESULT Result(INT_PTR end) { return static_cast<HRESULT>(end); }

class DownloadDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.ReadyForTest());
        m_folder = TempFolder() + "nvatt-dlg-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(m_folder.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& path : m_files) DeleteFileA(path.c_str());
        RemoveDirectoryA((m_folder + "folder.doc").c_str());
        RemoveDirectoryA(m_folder.c_str());
    }
    std::string Path(const std::string& name) {
        m_files.push_back(m_folder + name);
        return m_folder + name;
    }

    TestServerClient m_server;
    std::string m_folder;
    std::vector<std::string> m_files;
};

TEST_F(DownloadDlgTest, FileModeGeneratesItsNameAndWritesTheBodyByteForByteMemoryModeMakesNoFile) {
    const std::string today = TodayStamp();
    struct Case {
        std::string fileName;
        std::string generatedName;
        size_t size;
        const char* kilobytes;
        BOOL toMemory;
    } cases[] = {
        {"report.final.doc", "report.final-" + today + ".doc", 300000, "292 KB", FALSE},
        {"README", "-" + today, 5 * 1024 * 1024, "5120 KB", FALSE},
        {"보고서 (최종).hwp", "보고서 (최종)-" + today + ".hwp", 1, "0 KB", FALSE},
        {"body.htm", "body-" + today + ".htm", 100000, "97 KB", TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        const std::string generatedPath = TempFolder() + c.generatedName;
        m_files.push_back(generatedPath);
        // A file of that name is replaced, not appended to.
        DeleteFileA(generatedPath.c_str());
        if (!c.toMemory) {
            HANDLE old = CreateFileA(generatedPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written;
            std::string junk(c.size + 5000, 'x');
            WriteFile(old, junk.data(), static_cast<DWORD>(junk.size()), &written, nullptr);
            CloseHandle(old);
        }
        ASSERT_TRUE(m_server.SetRoute("/download.asp", "{\"generate\": " + std::to_string(c.size) + "}"));
        CDialogWatch watch;
        CDownloadDlg dlg(nullptr);
        dlg.m_strUrl = m_server.Url("/download.asp?key=7");
        dlg.m_strFileName = c.fileName;
        dlg.m_strTitle = "the caller's title is not kept";
        dlg.m_bToMemory = c.toMemory;
        EXPECT_EQ(Result(dlg.DoModal()), S_OK);

        const std::string savePath = c.toMemory ? "" : generatedPath;
        EXPECT_EQ(dlg.m_strSavePath, savePath);
        EXPECT_EQ(dlg.m_strTitle, "문서를 다운로드하는 중...");
        if (c.toMemory) {
            EXPECT_EQ(GetFileAttributesA(generatedPath.c_str()), INVALID_FILE_ATTRIBUTES);
        } else {
            EXPECT_TRUE(FileIsClosed(generatedPath));
        }
        std::string written = c.toMemory ? dlg.m_strData : ReadWholeFile(generatedPath);
        ASSERT_EQ(written.size(), c.size);
        EXPECT_TRUE(written == GeneratedBytes(0, c.size)) << "the bytes differ";

        // The dialog as it closed.
        const DialogLook& look = watch.Closed();
        EXPECT_EQ(look.texts.at(IDC_DOWNLOAD_FILENAME), c.fileName);
        EXPECT_EQ(look.texts.at(IDC_DOWNLOAD_SAVEPATH), savePath);
        EXPECT_EQ(look.texts.at(IDC_DOWNLOAD_FILESIZE), c.kilobytes);
        EXPECT_EQ(look.texts.at(IDC_DOWNLOAD_TRANSFERRED), c.kilobytes);
        EXPECT_EQ(look.progress, 100);
    }
    std::vector<ServerRequest> requests;
    ASSERT_TRUE(m_server.Requests("/download.asp", 4, &requests));
    EXPECT_EQ(requests[0].query, "key=7");
}

TEST_F(DownloadDlgTest, WithoutALengthTheHintOrTheLargestSizeIsTheTotal) {
    struct Case {
        const char* what;
        std::string hint;
        size_t size;
        std::string sizeText;
    } cases[] = {
        // The bar stays at 0, the size reads 2097151 KB, the transferred KB count up.
        {"no hint", "", 8192, "2097151 KB"},
        // The size reads 5 KB and the bar follows progress / 5120.
        {"hint 5120", "5120", 5120, "5 KB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(m_server.SetRoute("/drip.asp", "{\"generate\": " + std::to_string(c.size) +
                                                       ", \"drip\": [1024, 0.25], \"framing\": \"close\"}"));
        std::vector<DialogLook> samples;
        CDialogWatch watch([&](HWND dialog) {
            DialogLook look = LookAt(dialog);
            if (!look.texts[IDC_DOWNLOAD_TRANSFERRED].empty() &&
                (samples.empty() || samples.back().texts[IDC_DOWNLOAD_TRANSFERRED] != look.texts[IDC_DOWNLOAD_TRANSFERRED] ||
                 samples.back().progress != look.progress))
                samples.push_back(look);
        });
        CDownloadDlg dlg(nullptr);
        dlg.m_strUrl = m_server.Url("/drip.asp");
        dlg.m_strFileName = "drip.bin";
        dlg.m_strSavePath = Path("drip.bin");
        dlg.m_strSizeHint = c.hint;
        EXPECT_EQ(Result(dlg.DoModal()), S_OK);
        EXPECT_TRUE(ReadWholeFile(dlg.m_strSavePath) == GeneratedBytes(0, c.size));

        ASSERT_GE(samples.size(), 3u) << "the transfer was not seen as it went";
        int previous = -1;
        for (DialogLook& s : samples) {
            const std::string& transferred = s.texts[IDC_DOWNLOAD_TRANSFERRED];
            SCOPED_TRACE(transferred);
            EXPECT_EQ(s.texts[IDC_DOWNLOAD_FILESIZE], c.sizeText);
            int kb = LeadingNumber(transferred);
            EXPECT_EQ(transferred, std::to_string(kb) + " KB");
            EXPECT_GE(kb, previous);
            previous = kb;
            // MulDiv(progress, 100, 5120) with progress / 1024 shown as kb.
            EXPECT_GE(s.progress, c.hint.empty() ? 0 : kb * 20);
            EXPECT_LT(s.progress, c.hint.empty() ? 1 : (kb + 1) * 20);
        }
        EXPECT_LT(LeadingNumber(samples.front().texts[IDC_DOWNLOAD_TRANSFERRED]), previous);
        EXPECT_EQ(watch.Closed().texts.at(IDC_DOWNLOAD_TRANSFERRED), std::to_string(c.size / 1024) + " KB");
        EXPECT_EQ(watch.Closed().progress, c.hint.empty() ? 0 : 100);
    }
}

TEST_F(DownloadDlgTest, CancelInTheMiddleEndsWithEAbortAndKeepsThePartialFile) {
    const size_t kSize = 4 * 1024 * 1024;
    ASSERT_TRUE(m_server.SetRoute("/slow.asp", R"({"generate": 4194304, "drip": [131072, 0.1]})"));
    struct Case {
        const char* what;
        bool escape;
        BOOL toMemory;
    } cases[] = {
        {"the Cancel button", false, FALSE},
        {"the Esc key", true, FALSE},
        {"the Cancel button in memory mode", false, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int shownKb = -1;
        ULONGLONG pressedAt = 0;
        CDialogWatch watch([&](HWND dialog) {
            int kb = LeadingNumber(ItemText949(dialog, IDC_DOWNLOAD_TRANSFERRED));
            // A user waits until something happened, then gives up.
            if (shownKb >= 0 || kb < 512) return;
            shownKb = kb;
            pressedAt = GetTickCount64();
            if (c.escape) PressKey(dialog, VK_ESCAPE);
            else ClickButton(dialog, IDCANCEL);
        });
        CDownloadDlg dlg(nullptr);
        dlg.m_strUrl = m_server.Url("/slow.asp");
        dlg.m_strFileName = "big.zip";
        dlg.m_bToMemory = c.toMemory;
        if (!c.toMemory) dlg.m_strSavePath = Path("big.zip");
        EXPECT_EQ(Result(dlg.DoModal()), E_ABORT);
        ASSERT_GE(shownKb, 512) << "the dialog never showed progress";
        EXPECT_LT(GetTickCount64() - pressedAt, 1000u) << "Cancel did not end the dialog at once";

        std::string partial = c.toMemory ? dlg.m_strData : ReadWholeFile(dlg.m_strSavePath);
        if (!c.toMemory) {
            EXPECT_TRUE(FileIsClosed(dlg.m_strSavePath)) << "the partial file is still open";
        }
        EXPECT_GE(partial.size(), static_cast<size_t>(shownKb) * 1024) << "bytes shown were not kept";
        EXPECT_LT(partial.size(), kSize);
        EXPECT_TRUE(partial == GeneratedBytes(0, partial.size()));
        // Nothing more arrives after the dialog is gone.
        PumpFor(400);
        if (!c.toMemory) {
            EXPECT_EQ(ReadWholeFile(dlg.m_strSavePath).size(), partial.size());
        }
    }
}

TEST_F(DownloadDlgTest, ADestinationThatCannotBeMadeEndsWithItsErrorCode) {
    ASSERT_TRUE(m_server.SetRoute("/never.asp", R"({"body": "x"})"));
    const std::string held = Path("held.doc");
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const std::string folder = m_folder + "folder.doc";
    CreateDirectoryA(folder.c_str(), nullptr);
    struct Case {
        const char* what;
        std::string path;
        INT_PTR code;
    } cases[] = {
        {"a folder that does not exist", m_folder + "no such folder\\x.doc", ERROR_PATH_NOT_FOUND},
        {"a file another program holds", held, ERROR_SHARING_VIOLATION},
        {"a folder of that name", folder, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDownloadDlg download(nullptr);
        download.m_strUrl = m_server.Url("/never.asp");
        download.m_strFileName = "x.doc";
        download.m_strSavePath = c.path;
        EXPECT_EQ(download.DoModal(), c.code);

        CReceiveDlg receive(nullptr);
        receive.m_strUrl = m_server.Url("/never.asp");
        receive.m_strLocalPath = c.path;
        EXPECT_EQ(receive.DoModal(), c.code);
    }
    CloseHandle(holder);
    std::vector<ServerRequest> requests;
    ASSERT_TRUE(m_server.Requests("/never.asp", 0, &requests));
    EXPECT_TRUE(requests.empty()) << "nothing is asked of the server";
}

TEST_F(DownloadDlgTest, ReceiveShowsGroupedByteCounts) {
    struct Case {
        const char* what;
        const char* plan;
        std::string transferred;
        int bar;
    } cases[] = {
        {"no length", R"({"generate": 1234567, "framing": "close"})", "1,234,567/2,147,483,647바이트", 0},
        {"with its length", R"({"generate": 1234567})", "1,234,567/1,234,567바이트", 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(m_server.SetRoute("/WFAttach.asp", c.plan));
        CDialogWatch watch;
        CReceiveDlg dlg(nullptr);
        dlg.m_strUrl = m_server.Url("/WFAttach.asp?ID=12&FileName=a");
        dlg.m_strServer = m_server.BaseUrl() + "/";
        dlg.m_strFileName = "결재 문서.hwp";
        dlg.m_strLocalPath = Path("결재 문서.hwp");
        EXPECT_EQ(Result(dlg.DoModal()), S_OK);
        EXPECT_TRUE(ReadWholeFile(dlg.m_strLocalPath) == GeneratedBytes(0, 1234567));
        EXPECT_TRUE(FileIsClosed(dlg.m_strLocalPath));
        EXPECT_EQ(dlg.m_strTransferred, c.transferred);

        const DialogLook& look = watch.Closed();
        EXPECT_EQ(look.texts.at(IDC_RECEIVE_TRANSFERRED), c.transferred);
        EXPECT_EQ(look.progress, c.bar);
        EXPECT_EQ(look.texts.at(IDC_RECEIVE_FILENAME), "결재 문서.hwp");
        EXPECT_EQ(look.texts.at(IDC_RECEIVE_SERVER), m_server.BaseUrl() + "/");
        EXPECT_EQ(look.texts.at(IDC_RECEIVE_LOCALPATH), dlg.m_strLocalPath);
        EXPECT_EQ(look.texts.at(IDC_RECEIVE_STATUS), "전송중 ....");
    }
}

TEST_F(DownloadDlgTest, ReceiveCancelInTheMiddle) {
    ASSERT_TRUE(m_server.SetRoute("/slow.asp", R"({"generate": 4194304, "drip": [131072, 0.1]})"));
    std::string seen;
    CDialogWatch watch([&](HWND dialog) {
        std::string text = ItemText949(dialog, IDC_RECEIVE_TRANSFERRED);
        if (!seen.empty() || LeadingNumber(text) < 1) return;  // "393,216/4,194,304바이트"
        seen = text;
        ClickButton(dialog, IDCANCEL);
    });
    CReceiveDlg dlg(nullptr);
    dlg.m_strUrl = m_server.Url("/slow.asp");
    dlg.m_strLocalPath = Path("slow.bin");
    EXPECT_EQ(Result(dlg.DoModal()), E_ABORT);
    ASSERT_FALSE(seen.empty());
    EXPECT_NE(seen.find("/4,194,304바이트"), std::string::npos) << seen;
    std::string partial = ReadWholeFile(dlg.m_strLocalPath);
    EXPECT_TRUE(FileIsClosed(dlg.m_strLocalPath));
    EXPECT_GT(partial.size(), 0u);
    EXPECT_LT(partial.size(), 4194304u);
    EXPECT_TRUE(partial == GeneratedBytes(0, partial.size()));
}

}  // namespace
