// Identifier lists, the registration's query and the reading of its answer.
#include "archive/ArchiveRules.h"

#include <gtest/gtest.h>

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

TEST(SplitIdList, Table) {
    const struct {
        const char* list;
        std::vector<std::string> ids;
    } cases[] = {
        {"a;b;", {"a", "b"}},
        {"a;b", {"a", "b"}},
        {";;a;;b;", {"a", "b"}},
        {"", {}},
        {";", {}},
        {" a ;b", {" a ", "b"}},  // the page's identifiers are taken as they stand
    };
    for (const auto& c : cases) EXPECT_EQ(SplitIdList(c.list), c.ids) << c.list;
}

TEST(BatchIdList, Table) {
    const struct {
        const char* answer;
        const char* list;
    } cases[] = {
        {"a;b;c", "a;b;c;"},
        {"a;b;c\r\n", "a;b;c;"},
        {" a ;\r\nb;\tc ;", "a;b;c;"},
        {"a\r\nHost: x;b", "b;"},
        {"a\x7f;b\x08x;c\x01;d", "d;"},
        {"\r\n", ""},
        {"", ""},
        {"메일 1;m%2F2", "메일 1;m%2F2;"},
    };
    for (const auto& c : cases) EXPECT_EQ(BatchIdList(c.answer), c.list) << c.answer;
}

TEST(RegistrationFields, MailAndSignByFolder) {
    const struct {
        const char* folder;
        uint64_t size;
        bool sign;
        Fields fields;
    } cases[] = {
        {"받은편지함", 1234, false, {{"id", "7"}, {"folder", "받은편지함"}, {"filesize", "1234"}}},
        {"받은편지함", 5368709121ull, false, {{"id", "7"}, {"folder", "받은편지함"}, {"filesize", "5368709121"}}},
        {"미결함", 0, true, {{"id", "7"}, {"folder", "미결함"}, {"filesize", "0"}, {"foltype", "1"}}},
        {"기안함", 9, true, {{"id", "7"}, {"folder", "기안함"}, {"filesize", "9"}, {"foltype", "2"}}},
        {"기안함 ", 9, true, {{"id", "7"}, {"folder", "기안함 "}, {"filesize", "9"}, {"foltype", "3"}}},
        {"", 9, true, {{"id", "7"}, {"folder", ""}, {"filesize", "9"}, {"foltype", "3"}}},
    };
    for (const auto& c : cases) {
        short type = c.sign ? SignFolderType(c.folder) : 0;
        EXPECT_EQ(RegistrationFields("7", c.folder, c.size, type), c.fields) << c.folder;
    }
}

TEST(ReadRegisterAnswer, Table) {
    const struct {
        unsigned code;
        const char* answer;
        RegisterOutcome outcome;
        const char* id;
    } cases[] = {
        {15, "M;m-77", RegisterOutcome::kUploadMail, "m-77"},
        {15, "M;a;b", RegisterOutcome::kUploadMail, "a;b"},
        {15, "M77", RegisterOutcome::kUploadMail, "M77"},
        {21, "S;s-9", RegisterOutcome::kUploadSign, "s-9"},
        {21, "M;m-77", RegisterOutcome::kUnknown, ""},
        {15, "S;s-9", RegisterOutcome::kUnknown, ""},
        {15, "1", RegisterOutcome::kQuotaExceeded, ""},
        {21, "1 over", RegisterOutcome::kQuotaExceeded, ""},
        {15, "2", RegisterOutcome::kInsertFailed, ""},
        {15, "x", RegisterOutcome::kUnknown, ""},
        {15, "m;lower", RegisterOutcome::kUnknown, ""},
        {15, "", RegisterOutcome::kUnknown, ""},
    };
    for (const auto& c : cases) {
        RegisterAnswer read = ReadRegisterAnswer(c.code, c.answer);
        EXPECT_EQ(read.outcome, c.outcome) << c.code << " " << c.answer;
        EXPECT_EQ(read.id, c.id) << c.code << " " << c.answer;
    }
}

}  // namespace
