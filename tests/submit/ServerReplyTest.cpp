// The upload pages' answers: accepted, refused, or a transfer that broke off.
#include "submit/ServerReply.h"

#include <gtest/gtest.h>

namespace {

TEST(ServerReply, Classification) {
    using Kind = ServerReply::Kind;
    const struct {
        std::string reply;
        Kind kind;
        std::string shown;
    } cases[] = {
        {"", Kind::kStopped, "전송 중단"},
        {"OK;STORED;id;msg", Kind::kAccepted, "msg"},
        {"OK;STORED;20240101;저장되었습니다.", Kind::kAccepted, "저장되었습니다."},
        {"OK;STORED;id;a;b", Kind::kAccepted, "a;b"},
        {"OK;STORED;idonly", Kind::kAccepted, "idonly"},
        {"OK;STORED;", Kind::kAccepted, ""},
        {"OK;STORED;;", Kind::kAccepted, ""},
        {"OK;done", Kind::kAccepted, "done"},
        {"OK;", Kind::kAccepted, ""},
        {"OK;STORE", Kind::kAccepted, "STORE"},
        {"OK", Kind::kRefused, "OK"},
        {"ok;x", Kind::kRefused, "ok;x"},
        {" OK;x", Kind::kRefused, " OK;x"},
        {"용량 초과", Kind::kRefused, "용량 초과"},
        {std::string("OK;a\0b", 6), Kind::kAccepted, std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        ServerReply reply = ClassifyServerReply(c.reply);
        EXPECT_EQ(reply.kind, c.kind) << c.reply;
        EXPECT_EQ(reply.shownText, c.shown) << c.reply;
    }
}

}  // namespace
