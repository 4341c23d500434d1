// A download dialog torn down with its page, inside a browser's process, fails: its
// caller must never take the partial file for the whole body.
#include "DialogWatch.h"
#include "DownloadTestSupport.h"
#include "TestServerClient.h"

#include "download/DownloadDlg.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(TornDown, ADownloadDialogTornDownWithItsPageFails) {
    TestServerClient server;
    ASSERT_TRUE(server.ReadyForTest());
    ASSERT_TRUE(server.SetRoute("/slow.asp", R"({"generate": 4194304, "drip": [131072, 0.1]})"));
    const std::string path = TempFolder() + "nvatt-in-host.bin";
    enum Ending { kOwnerDestroyed, kQuit, kOwnerGone };
    for (Ending ending : {kOwnerDestroyed, kQuit, kOwnerGone}) {
        SCOPED_TRACE(ending);
        HWND owner = CreateWindowExA(0, "STATIC", "page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                     nullptr, nullptr, nullptr, nullptr);
        if (ending == kOwnerGone) DestroyWindow(owner);
        CDialogWatch watch([&](HWND dialog) {
            if (std::atoi(ItemText949(dialog, IDC_DOWNLOAD_TRANSFERRED).c_str()) < 256) return;
            if (ending == kOwnerDestroyed) DestroyWindow(owner);
            else PostQuitMessage(7);
        });
        CDownloadDlg dlg(owner);
        dlg.m_strUrl = server.Url("/slow.asp");
        dlg.m_strSavePath = path;
        HRESULT result = static_cast<HRESULT>(dlg.DoModal());
        MSG quit;  // the dialog hands WM_QUIT on to the loop around it
        EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE, ending == kQuit);
        EXPECT_TRUE(FAILED(result)) << std::hex << result;
        EXPECT_TRUE(FileIsClosed(path)) << "the download still writes";
        DestroyWindow(owner);
    }
    DeleteFileA(path.c_str());
}

}  // namespace
