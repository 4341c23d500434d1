// The busy popup: centred on its owner, with its picture, and ended as with OK when its
// window is destroyed by whoever finishes the work.
#include <gtest/gtest.h>

#include <windows.h>

#include "control/BusyDlg.h"
#include "framework/Module.h"
#include "framework/Text.h"
#include "res/resource.h"
#include "tests/control/OcxModule.h"

namespace {

HWND s_popup = nullptr;

// Finds the popup once it is shown and destroys it, as the answer of a request does.
void CALLBACK DestroyPopup(HWND owner, UINT, UINT_PTR id, DWORD) {
    KillTimer(owner, id);
    s_popup = GetLastActivePopup(owner);
    if (s_popup && s_popup != owner) {
        RECT popup, frame;
        GetWindowRect(s_popup, &popup);
        GetWindowRect(owner, &frame);
        EXPECT_NEAR((popup.left + popup.right) / 2, (frame.left + frame.right) / 2, 1);
        EXPECT_NEAR((popup.top + popup.bottom) / 2, (frame.top + frame.bottom) / 2, 1);
        // The picture is the module's bitmap: it loads with the template from the module.
        EXPECT_NE(SendDlgItemMessageA(s_popup, IDC_BUSY_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
        DestroyWindow(s_popup);
    }
}

TEST(BusyDlg, EndsAsOkWhenItsWindowIsDestroyed) {
    // The templates live in the module.
    HMODULE resources = LoadLibraryExW(OcxPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(resources, nullptr);
    fw::SetModuleInstance(resources);
    HWND owner = CreateWindowA("STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 600, 400, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    SetTimer(owner, 1, 200, &DestroyPopup);
    CBusyDlg busy(owner);
    EXPECT_EQ(busy.DoModal(), IDOK);
    EXPECT_NE(s_popup, nullptr);
    EXPECT_FALSE(IsWindow(s_popup));
    DestroyWindow(owner);
    fw::SetModuleInstance(nullptr);
    FreeLibrary(resources);
}

}  // namespace
