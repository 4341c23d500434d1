// What a page may hand to the companion programs: ids, command lines, register lines.
#include "integrations/CompanionRules.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kAllowed = {"C:\\DOD_Ezuvar\\", "C:\\Program Files\\LinkRelay\\"};

TEST(CompanionRulesTest, UserIds) {
    const struct { const char* id; bool safe; } cases[] = {
        {"hong", true}, {"Hong.Gil-dong_2@corp", true}, {"a.", true},
        {"", false}, {".hong", false}, {"..\\x", false}, {"a<b", false}, {"a b", false}, {"a/b", false},
        {"a;b", false}, {"a\"b", false}, {"a\r\nb", false}, {"\xC8\xAB", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsSafeUserId(c.id), c.safe) << c.id;
    EXPECT_TRUE(IsSafeUserId(std::string(64, 'a')));
    EXPECT_FALSE(IsSafeUserId(std::string(65, 'a')));
}

TEST(CompanionRulesTest, CommandLines) {
    const struct { const char* line; ExeRule rule; const char* program; const char* arguments; } cases[] = {
        {"C:\\DOD_Ezuvar\\NStartup.exe", ExeRule::kOk, "C:\\DOD_Ezuvar\\NStartup.exe", ""},
        {"c:\\dod_ezuvar\\Rec.EXE /a b", ExeRule::kOk, "c:\\dod_ezuvar\\Rec.EXE", "/a b"},
        {"C:\\Program Files\\LinkRelay\\Relay.exe -u \"hong gil\"", ExeRule::kOk,
         "C:\\Program Files\\LinkRelay\\Relay.exe", "-u \"hong gil\""},
        {"\"C:\\Program Files\\LinkRelay\\Relay.exe\" x", ExeRule::kOk, "C:\\Program Files\\LinkRelay\\Relay.exe", "x"},
        {"", ExeRule::kEmpty, "", ""},
        {"C:\\windows\\system32\\cmd.exe", ExeRule::kFolderNotAllowed, "", ""},
        {"C:\\DOD_Ezuvar\\sub\\x.exe", ExeRule::kFolderNotAllowed, "", ""},
        {"C:\\DOD_Ezuvar\\..\\VelaWare\\x.exe", ExeRule::kParentReference, "", ""},
        {"\\\\?\\C:\\DOD_Ezuvar\\x.exe", ExeRule::kUncOrDevice, "", ""},
        {"C:\\DOD_Ezuvar\\nul.exe", ExeRule::kUncOrDevice, "", ""},
        {"C:\\DOD_Ezuvar/x.exe", ExeRule::kBadPathCharacter, "", ""},
        {"C:\\DOD_Ezuvar\\x.exe:ads.exe", ExeRule::kBadPathCharacter, "", ""},
        {"C:\\DOD_Ezuvar\\x.bat", ExeRule::kNotExe, "", ""},
        {"C:\\DOD_Ezuvar\\x.exe.bat arg", ExeRule::kNotExe, "", ""},
        {"\"C:\\DOD_Ezuvar\\x.exe", ExeRule::kUnclosedQuote, "", ""},
        {"\"C:\\DOD_Ezuvar\\x.exe\"x", ExeRule::kNotExe, "", ""},
        {"C:\\DOD_Ezuvar\\x.exe %PATH%", ExeRule::kArgumentShell, "", ""},
        {"C:\\DOD_Ezuvar\\x.exe >out", ExeRule::kArgumentShell, "", ""},
        {"C:\\DOD_Ezuvar\\x.exe a\nb", ExeRule::kArgumentControl, "", ""},
        {"C:\\DOD_Ezuvar\\x.exe \"a", ExeRule::kArgumentQuotes, "", ""},
    };
    for (const auto& c : cases) {
        ExeCommand command{"unchanged", "unchanged"};
        EXPECT_EQ(CheckExeCommand(c.line, kAllowed, &command), c.rule) << c.line;
        if (c.rule == ExeRule::kOk) {
            EXPECT_EQ(command.program, c.program) << c.line;
            EXPECT_EQ(command.arguments, c.arguments) << c.line;
        } else {
            EXPECT_EQ(command.program, "unchanged") << c.line;
        }
    }
}

TEST(CompanionRulesTest, RegisterLines) {
    const struct { const char* before; bool add; bool changed; const char* after; } cases[] = {
        {"", true, true, "hong:12\r\n"},
        {"kim:7\r\n", true, true, "kim:7\r\nhong:12\r\n"},
        {"kim:7", true, true, "kim:7\r\nhong:12\r\n"},
        {"kim:7\r\nhong:12\r\n", true, false, "kim:7\r\nhong:12\r\n"},
        {"hong:12\n", true, false, "hong:12\n"},
        {"xhong:12\r\nhong:123\r\n", true, true, "xhong:12\r\nhong:123\r\nhong:12\r\n"},
        {"kim:7\r\nhong:12\r\nlee:9\r\nhong:12\r\n", false, true, "kim:7\r\nlee:9\r\n"},
        {"kim:7\r\nhong:12", false, true, "kim:7\r\n"},
        {"xhong:12\r\nhong:123\r\nhong:1\r\n", false, false, "xhong:12\r\nhong:123\r\nhong:1\r\n"},
        {"", false, false, ""},
    };
    for (const auto& c : cases) {
        std::string content = c.before;
        bool changed = c.add ? AddRegisterLine(&content, "hong:12\r\n") : RemoveRegisterLine(&content, "hong:12\r\n");
        EXPECT_EQ(changed, c.changed) << c.before;
        EXPECT_EQ(content, c.after) << c.before;
    }
}

}  // namespace
