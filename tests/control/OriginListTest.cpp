// Which origins an administrator's entries admit, and that entries which do not parse
// admit nothing.
#include <gtest/gtest.h>

#include "control/OriginList.h"

namespace {

const char* const kEntries[] = {
    "https://mail.example.kr", "https://*.groupware.example", "http://127.0.0.1:*", " HTTP://Intra.Example.KR:8080/ ",
};

// Each would admit https://evil.test (or every host) if it were read loosely.
const char* const kBrokenEntries[] = {
    "https://evil.test/mail", "https://user@evil.test", "https://*",           "*.evil.test",
    "https://evil.test:",     "https://evil.test:0",    "https://evil.test:65979", "https://evil.test:*8",
    "https://mail.*.evil.test", "https://*evil.test",   "https://[::1]",       "evil.test",
    "https://evil.test?x",    "https://evil..test",     "ftp://evil.test",     "https:/evil.test",
};

const struct {
    Origin origin;
    bool allowed;
} kCases[] = {
    {{"https", "mail.example.kr", 443}, true},
    {{"HTTPS", "MAIL.Example.KR", 443}, true},
    {{"https", "a.groupware.example", 443}, true},
    {{"https", "a.b.groupware.example", 443}, true},
    {{"http", "127.0.0.1", 49152}, true},
    {{"http", "intra.example.kr", 8080}, true},
    {{"https", "mail.example.kr.evil.test", 443}, false},
    // https://evil.test/?mail.example.kr, https://mail.example.kr@evil.test and
    // https://evil.test/#https://mail.example.kr crack to this
    {{"https", "evil.test", 443}, false},
    {{"http", "mail.example.kr", 80}, false},
    {{"https", "mail.example.kr", 8443}, false},
    {{"https", "groupware.example", 443}, false},
    {{"https", "agroupware.example", 443}, false},
    {{"http", "intra.example.kr", 80}, false},
    {{"https", "127.0.0.1%2eevil.test", 443}, false},
    {{"file", "127.0.0.1", 0}, false},
};

TEST(OriginListTest, AdmitsWhatTheEntriesNameAndNothingElse) {
    COriginList list;
    EXPECT_FALSE(list.Allows({"https", "mail.example.kr", 443}));
    for (const char* entry : kBrokenEntries) EXPECT_FALSE(list.Add(entry)) << entry;
    EXPECT_TRUE(list.empty());
    for (const char* entry : kEntries) EXPECT_TRUE(list.Add(entry)) << entry;
    for (const auto& c : kCases) EXPECT_EQ(list.Allows(c.origin), c.allowed) << OriginText(c.origin);
}

}  // namespace
