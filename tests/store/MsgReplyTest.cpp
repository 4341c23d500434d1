// The message reply and what the writer fetches for it: fields, records, the download
// URL, image sources and their keys, and the pairing of attachments with their keys.
#include "store/MsgDownloadPlan.h"
#include "store/MsgReply.h"

#include <gtest/gtest.h>

namespace {

TEST(MsgReply, FieldsAndRecords) {
    MsgReply reply;
    ASSERT_EQ(ParseMsgReply("1\x7F" "2\x7F" "제목\x7F" "to\x08" "cc\x7F" "a\tb\x08k1\tk2\x08i1\x7F" "ok\x08" "why\x7F"
                            "3\x7F" "4\x7F" "Keywords\x08" "kw\x7F" "junk\x7F" "BODY\x08" "<p>\x7F" "x\x08" "y",
                            reply),
              MsgReplyOutcome::kOk);
    EXPECT_EQ(*reply.subject + reply.to + reply.cc + *reply.attachList + *reply.recordKeyList + *reply.inlineKeyList,
              "제목tocca\tbk1\tk2i1");
    // A record without a backspace has an empty name and value; the last one needs no DEL.
    ASSERT_EQ(reply.records.size(), 4u);
    EXPECT_EQ(reply.records[1].name + reply.records[1].value + reply.records[3].value + *reply.body, "y<p>");

    const struct {
        const char* text;
        MsgReplyOutcome outcome;
        bool subject, attachList, keyLists;
    } cases[] = {
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
    MsgLocation at = {"http://s/f/", "", "D", "C", "P", true};
    EXPECT_EQ(MessageDownloadUrl(at, ""), "http://s/f/download.asp?dataurl=D");
    EXPECT_EQ(MessageDownloadUrl(at, "K"), "http://s/f/download.asp?type=batch&dataurl=K");
    at.type = "bbs";
    EXPECT_EQ(MessageDownloadUrl(at, "K"), "http://s/f/downloadbbs.asp?dataurl=K&clsurl=C&posturl=P");
}

TEST(MsgDownloadPlan, ImageSourcesAndTheirKeys) {
    EXPECT_EQ(InlineImageSources("<IMG Src=\"A.GIF\"><img alt=x><img src=\"b c.png\" w=1><img src=\"x.gif\" w=1><img src=\"d"),
              (std::vector<std::string>{"a.gif\"", "x.gif"}));
    const std::string body = "<img src=\"cid/Logo.GIF\"><img src=\"pic.png\"><img src=\"logo.gif\"><img src=\"\x81\x41.gif\">";
    const struct {
        const char *keys, *type;
        std::vector<std::string> expected;  // name=url, each name once
    } cases[] = {
        {"\t:http://u/e\tLOGO.gif:http://u/1\tpic.png\t\x81\x41.GIF:k", "", {"logo.gif=http://u/1", "pic.png=pic.png", "\x81\x41.gif=k"}},
        {"http://u/x/PIC.PNG\thttp://u/dir/", "mail", {"pic.png=http://u/x/PIC.PNG"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        for (const MsgDownload& d : PlanInlineImages(body, c.keys, c.type)) got.push_back(d.name + "=" + d.url);
        EXPECT_EQ(got, c.expected) << c.keys;
    }
}

TEST(MsgDownloadPlan, AttachmentsPairNamesFromTheFrontWithKeysFromTheBack) {
    const struct {
        const char *names, *keys, *sizes;
        std::vector<std::string> expected;  // name=key@size
    } cases[] = {
        {"a\tb", "k1\tk2", "10\t20\t", {"a=k2@10", "b=k1@20"}},
        {"a\tb\tc", "k1\tk2\t", "10\t", {"a=k2@10", "b=k1@10"}},
        {"a\t\t\tc", "k1\tk2\tk3", "1\t2\t3", {"a=k3@1", "c=k1@3"}},  // the empty name keeps k2
    };
    for (const auto& c : cases) {
        std::vector<std::string> got;
        for (const MsgDownload& d : PlanAttachDownloads(c.names, c.keys, c.sizes))
            got.push_back(d.name + "=" + d.url + "@" + d.sizeHint);
        EXPECT_EQ(got, c.expected) << c.names;
    }
}

}  // namespace
