// Self-registration of NVATT.OCX: what DllRegisterServer writes and what
// DllUnregisterServer removes (and leaves). It ends registered, for the page tests.
#include <gtest/gtest.h>

#include <windows.h>
#include <comcat.h>
#include <objsafe.h>
#include <olectl.h>

#include <string>

#include "control/NvAttIds.h"
#include "framework/Registration.h"
#include "framework/UniqueHandle.h"
#include "tests/control/OcxModule.h"

namespace {

bool KeyExists(const std::wstring& key) {
    fw::UniqueHKey h;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, h.put()) == ERROR_SUCCESS;
}

std::wstring Value(const std::wstring& key, const wchar_t* name = nullptr) {
    wchar_t data[1024] = {};
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return data;
}

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = towlower(c);
    return s;
}

const std::wstring kControl = L"CLSID\\" + fw::GuidString(CLSID_NvAtt);
const std::wstring kPage = L"CLSID\\" + fw::GuidString(CLSID_NvAttPropPage);
const std::wstring kScripting = fw::GuidString(CATID_SafeForScripting);
const std::wstring kInitializing = fw::GuidString(CATID_SafeForInitializing);

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        ASSERT_TRUE(m_ocx.loaded());
    }
    void TearDown() override { CoUninitialize(); }
    OcxModule m_ocx;
};

TEST_F(RegistrationTest, RegisterWritesClassesTypeLibraryAndCategories) {
    ASSERT_EQ(m_ocx.RegisterServer(), S_OK);

    EXPECT_EQ(Value(kControl), L"NvAtt Control");
    EXPECT_EQ(Lower(Value(kControl + L"\\InprocServer32")), Lower(OcxPath()));
    EXPECT_EQ(Value(kControl + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Value(kControl + L"\\ProgID"), L"NVATT.NvAttCtrl.1");
    EXPECT_EQ(Value(L"NVATT.NvAttCtrl.1\\CLSID"), fw::GuidString(CLSID_NvAtt));
    EXPECT_EQ(Value(kControl + L"\\MiscStatus\\1"), L"131473");  // 0x20191
    EXPECT_EQ(Value(kControl + L"\\TypeLib"), fw::GuidString(LIBID_NVATTLib));
    EXPECT_EQ(Value(kControl + L"\\Version"), L"1.0");
    EXPECT_TRUE(KeyExists(kControl + L"\\Control"));
    EXPECT_TRUE(KeyExists(kControl + L"\\Insertable"));
    EXPECT_EQ(Lower(Value(kControl + L"\\ToolboxBitmap32")), Lower(std::wstring(OcxPath()) + L", 1"));
    EXPECT_TRUE(KeyExists(kControl + L"\\Implemented Categories\\" + kScripting));
    EXPECT_TRUE(KeyExists(kControl + L"\\Implemented Categories\\" + kInitializing));
    EXPECT_EQ(Value(L"Component Categories\\" + kScripting, L"409"), L"Controls that are safely scriptable");
    EXPECT_EQ(Value(L"Component Categories\\" + kInitializing, L"409"),
              L"Controls safely initializable from persistent data");

    EXPECT_EQ(Value(kPage), L"NvAtt Property Page");
    EXPECT_EQ(Value(kPage + L"\\ProgID"), L"NVATT.NvAttPropPage.1");
    EXPECT_EQ(Value(L"NVATT.NvAttPropPage.1\\CLSID"), fw::GuidString(CLSID_NvAttPropPage));

    EXPECT_TRUE(KeyExists(L"TypeLib\\" + fw::GuidString(LIBID_NVATTLib) + L"\\1.0"));
    EXPECT_TRUE(KeyExists(L"Interface\\" + fw::GuidString(DIID__DNvAtt)));

    CLSID clsid;
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"NVATT.NvAttCtrl.1", &clsid));
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_NvAtt));
}

TEST_F(RegistrationTest, UnregisterRemovesClassesButLeavesCategories) {
    ASSERT_EQ(m_ocx.RegisterServer(), S_OK);
    ASSERT_EQ(m_ocx.UnregisterServer(), S_OK);

    EXPECT_FALSE(KeyExists(kControl));
    EXPECT_FALSE(KeyExists(L"NVATT.NvAttCtrl.1"));
    EXPECT_FALSE(KeyExists(kPage));
    EXPECT_FALSE(KeyExists(L"NVATT.NvAttPropPage.1"));
    EXPECT_FALSE(KeyExists(L"TypeLib\\" + fw::GuidString(LIBID_NVATTLib) + L"\\1.0"));
    EXPECT_TRUE(KeyExists(L"Component Categories\\" + kScripting));
    EXPECT_TRUE(KeyExists(L"Component Categories\\" + kInitializing));

    // Registering again (the page tests that follow rely on it) works from a clean slate.
    ASSERT_EQ(m_ocx.RegisterServer(), S_OK);
    EXPECT_TRUE(KeyExists(kControl));
}

TEST_F(RegistrationTest, ClassFactoryAndModuleLifetime) {
    EXPECT_EQ(m_ocx.CanUnloadNow(), S_OK);
    IClassFactory* factory = nullptr;
    EXPECT_EQ(m_ocx.GetClassObject(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);

    ASSERT_HRESULT_SUCCEEDED(m_ocx.GetClassObject(CLSID_NvAtt, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    EXPECT_EQ(m_ocx.CanUnloadNow(), S_FALSE);
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);
    IUnknown* object = reinterpret_cast<IUnknown*>(0x1);
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&object)), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
    factory->Release();
    EXPECT_EQ(m_ocx.CanUnloadNow(), S_FALSE);  // the control keeps the module
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(m_ocx.CanUnloadNow(), S_OK);

    ASSERT_HRESULT_SUCCEEDED(
        m_ocx.GetClassObject(CLSID_NvAttPropPage, IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    IPropertyPage* page = nullptr;
    ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(&page)));
    PROPPAGEINFO info = {};
    ASSERT_HRESULT_SUCCEEDED(page->GetPageInfo(&info));
    EXPECT_STREQ(info.pszTitle, L"General");
    CoTaskMemFree(info.pszTitle);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    page->Release();
    factory->Release();
    EXPECT_EQ(m_ocx.CanUnloadNow(), S_OK);
}

}  // namespace
