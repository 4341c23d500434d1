// The message reply and what the writer fetches for it: tokens, fields, the download
// URL, image sources and their keys, and the pairing of attachments with their keys.
#include "store/MsgDownloadPlan.h"
#include "store/MsgReply.h"

#include <gtest/gtest.h>

namespace {

TEST(MsgReply, TakeTokenAndTakeField) {
    std::string_view text = "a\x7F" "b";
    std::string_view token;
    EXPECT_TRUE(TakeToken(text, '\x7F', token));
    EXPECT_EQ(token, "a");
    EXPECT_TRUE(TakeToken(text, '\x7F', token));  // no separator: text stays
    EXPECT_EQ(token, "b");
    EXPECT_EQ(text, "b");
    text = {};
    EXPECT_FALSE(TakeToken(text, '\x7F', token));

    std::string name = "kept", value = "kept";
    text = "x\x7F" "n\x08v\x08w";
    EXPECT_FALSE(TakeField(text, '\x7F', name, value));  // no backspace: nothing set
    EXPECT_EQ(name, "kept");
    EXPECT_TRUE(TakeField(text, '\x7F', name, value));  // last record, no DEL: text ends
    EXPECT_EQ(name, "n");
    EXPECT_EQ(value, "v\x08w");
    EXPECT_TRUE(text.empty());
}

TEST(MsgReply, FieldsAndRecords) {
    MsgReply reply;
    EXPECT_EQ(ParseMsgReply("1\x7F" "2\x7F" "제목\x7F" "to\x08" "cc\x7F" "a\tb\x08k1\tk2\x08i1\x7F" "ok\x08" "why\x7F"
                            "3\x7F" "4\x7F" "Keywords\x08" "kw\x7F" "junk\x7F" "BODY\x08" "<p>\x7F" "x\x08" "y",
                            reply),
              MsgReplyOutcome::kOk);
    EXPECT_EQ(*reply.subject, "제목");
    EXPECT_EQ(reply.to, "to");
    EXPECT_EQ(reply.cc, "cc");
    EXPECT_EQ(*reply.attachList, "a\tb");
    EXPECT_EQ(*reply.recordKeyList, "k1\tk2");
    EXPECT_EQ(*reply.inlineKeyList, "i1");
    EXPECT_EQ(reply.status, "ok");
    ASSERT_EQ(reply.records.size(), 4u);
    EXPECT_EQ(reply.records[1].name, "");  // a record without a backspace
    EXPECT_EQ(reply.records[3].value, "y");
    EXPECT_EQ(*reply.body, "<p>");

    const struct {
        const char* text;
        MsgReplyOutcome outcome;
        bool subject, attachList, keyLists;
    } cases[] = {
        {"", MsgReplyOutcome::kEmpty, false, false, false},
        {"1\x7F" "2\x7F", MsgReplyOutcome::kFieldMissing, false, false, false},
        {"1\x7F" "2\x7F" "s\x7F" "t\x7F", MsgReplyOutcome::kFieldMissing, true, false, false},
        {"1\x7F" "2\x7F" "s\x7F" "t\x7F" "a\x08k\x08i\x7F" "NotOk\x08" "x", MsgReplyOutcome::kNotOk, true, true, true},
        {"1\x7F" "2\x7F" "s\x7F" "t\x7F" "a\x08k\x7F" "OK", MsgReplyOutcome::kOk, true, true, false},
        {"1\x7F" "2\x7F" "s\x7F" "t\x7F" "a\x7F" "\x7F", MsgReplyOutcome::kOk, true, false, false},
    };
    for (const auto& c : cases) {
        MsgReply r;
        EXPECT_EQ(ParseMsgReply(c.text, r), c.outcome) << c.text;
        EXPECT_EQ(r.subject.has_value(), c.subject) << c.text;
        EXPECT_EQ(r.attachList.has_value(), c.attachList) << c.text;
        EXPECT_EQ(r.recordKeyList.has_value(), c.keyLists) << c.text;
    }
}

TEST(MsgReply, DownloadUrl) {
    MsgLocation at = {"http://s/f/", "", "D", "C", "P", false};
    EXPECT_EQ(MessageDownloadUrl(at, ""), "http://s/f/download.asp?dataurl=D");
    at.batchSave = true;
    EXPECT_EQ(MessageDownloadUrl(at, ""), "http://s/f/download.asp?dataurl=D");
    EXPECT_EQ(MessageDownloadUrl(at, "K"), "http://s/f/download.asp?type=batch&dataurl=K");
    at.type = "bbs";
    EXPECT_EQ(MessageDownloadUrl(at, "K"), "http://s/f/downloadbbs.asp?dataurl=K&clsurl=C&posturl=P");
}

TEST(MsgDownloadPlan, ImageSources) {
    EXPECT_EQ(InlineImageSources("<IMG Src=\"A.GIF\"><img alt=x><img src=\"b c.png\" w=1>"
                                 "<img src=\"\x81\x41.Gif\"><img src=\"x.gif\" width=1><img src=\"d"),
              (std::vector<std::string>{"a.gif\"", "\x81\x41.gif\"", "x.gif"}));
}

TEST(MsgDownloadPlan, InlineKeysUnderBothRules) {
    const std::string body = "<img src=\"cid/Logo.GIF\"><img src=\"pic.png\"><img src=\"logo.gif\"><img src=\"none\">";
    auto plan = PlanInlineImages(body, "\t:http://u/empty\tLOGO.gif:http://u/1\tpic.png\t", "");
    ASSERT_EQ(plan.size(), 2u);  // logo.gif once
    EXPECT_EQ(plan[0].name, "logo.gif");
    EXPECT_EQ(plan[0].url, "http://u/1");
    EXPECT_EQ(plan[1].name, "pic.png");  // no colon: named after its last "/"
    EXPECT_EQ(plan[1].url, "pic.png");

    plan = PlanInlineImages(body, "http://u/x/PIC.PNG\thttp://u/dir/", "mail");
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].name, "pic.png");
    EXPECT_EQ(plan[0].url, "http://u/x/PIC.PNG");

    // A Korean name whose trail byte is a letter keeps that byte.
    plan = PlanInlineImages("<img src=\"\x81\x41.gif\">", "\x81\x41.GIF:http://u/k", "bbs");
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].name, "\x81\x41.gif");
}

TEST(MsgDownloadPlan, AttachmentsPairNamesFromTheFrontWithKeysFromTheBack) {
    const struct {
        const char *names, *keys, *sizes;
        std::vector<std::string> expected;  // name=key@size
    } cases[] = {
        {"a\tb", "k1\tk2", "10\t20\t", {"a=k2@10", "b=k1@20"}},
        {"a\tb\tc", "k1\tk2\t", "10\t", {"a=k2@10", "b=k1@10"}},
        {"a\t\t\tc", "k1\tk2\tk3", "1\t2\t3", {"a=k3@1", "c=k1@3"}},  // the empty name keeps k2
        {"a", "", "1", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        for (const MsgDownload& d : PlanAttachDownloads(c.names, c.keys, c.sizes))
            got.push_back(d.name + "=" + d.url + "@" + d.sizeHint);
        EXPECT_EQ(got, c.expected) << c.names;
    }
}

}  // namespace
