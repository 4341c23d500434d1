// The site lock with the platform's URL cracker and a list read from the registry: the
// URLs that must not pass, the user's list only when the machine's allows it, no list.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "control/SiteLock.h"
#include "framework/Text.h"
#include "res/Texts.h"

namespace {

const std::wstring kRoot = L"Software\\NVATT-site-lock-test-" + std::to_wstring(GetCurrentProcessId());
const std::wstring kMachine = kRoot + L"\\machine", kUser = kRoot + L"\\user";
const CSiteLock::Keys kKeys = {HKEY_CURRENT_USER, kMachine.c_str(), HKEY_CURRENT_USER, kUser.c_str()};

// A REG_MULTI_SZ value from a literal that spells out its terminators.
template <size_t N>
std::wstring Multi(const wchar_t (&text)[N]) { return std::wstring(text, N - 1); }

class SiteLockTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot.c_str()); }
    void WriteList(const std::wstring& path, const std::wstring& multi) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"AllowedOrigins", REG_MULTI_SZ, multi.data(),
                                  static_cast<DWORD>(multi.size() * sizeof(wchar_t))), 0);
    }
};

// What the cracker decides; the matching rules themselves are OriginListTest's.
const struct {
    const char* url;
    const char* named;  // what the refusal names; null when allowed
} kUrls[] = {
    {"https://mail.example.kr/mail/list.asp?box=1#top", nullptr},
    {"HTTPS://Mail.Example.KR:443/", nullptr},
    {"https://mail.example.kr.evil.test/", "https://mail.example.kr.evil.test"},
    {"https://evil.test/?mail.example.kr", "https://evil.test"},
    {"https://mail.example.kr@evil.test/", "https://evil.test"},
    {"https://evil.test/#https://mail.example.kr", "https://evil.test"},
    {"http://mail.example.kr/", "http://mail.example.kr"},
    {"https://mail.example.kr:8443/", "https://mail.example.kr:8443"},
    {"file:///C:/Users/hong/page.html", "file:///C:/Users/hong/page.html"},
    {"mail.example.kr", "mail.example.kr"},
};

TEST_F(SiteLockTest, PagesAndTargetsPassOnlyOnAnAllowedOrigin) {
    WriteList(kMachine, Multi(L"https://mail.example.kr\0not an origin\0\0"));
    CSiteLock lock(kKeys);
    for (const auto& c : kUrls) {
        std::string page, target;
        EXPECT_EQ(lock.CheckPage(fw::AnsiToWide(c.url), &page), c.named ? E_ACCESSDENIED : S_OK) << c.url;
        EXPECT_EQ(lock.CheckTarget(c.url, &target), c.named ? E_ACCESSDENIED : S_OK) << c.url;
        if (!c.named) continue;
        std::string named = std::string(c.named) + "은(";
        EXPECT_TRUE(page.find(named) != page.npos && target.find(named) != target.npos) << page << "\n" << target;
    }
    std::string refusal;
    EXPECT_EQ(lock.CheckTarget(std::string("https://mail.example.kr\0.evil.test/", 36), &refusal), E_ACCESSDENIED);
    EXPECT_EQ(lock.CheckPage(L"", &refusal), E_ACCESSDENIED);
    EXPECT_NE(refusal.find(texts::kNoPageAddress), std::string::npos);
}

TEST_F(SiteLockTest, TheUsersListCountsOnlyWhenTheMachinesAllowsItAndNoListAllowsNothing) {
    std::string refusal;
    EXPECT_EQ(CSiteLock(kKeys).CheckTarget("https://mail.example.kr/", &refusal), E_ACCESSDENIED);
    EXPECT_NE(refusal.find(texts::kNoAllowedSites), std::string::npos) << refusal;
    WriteList(kMachine, Multi(L"https://mail.example.kr\0\0"));
    WriteList(kUser, Multi(L"https://user.example.kr\0\0"));
    EXPECT_EQ(CSiteLock(kKeys).CheckPage(L"https://user.example.kr/", &refusal), E_ACCESSDENIED);
    DWORD on = 1;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kMachine.c_str(), L"AllowUserOrigins", REG_DWORD, &on, sizeof(on)), 0);
    CSiteLock lock(kKeys);
    EXPECT_EQ(lock.CheckPage(L"https://user.example.kr/", &refusal), S_OK);
    EXPECT_EQ(lock.CheckPage(L"https://mail.example.kr/", &refusal), S_OK);
}

}  // namespace
