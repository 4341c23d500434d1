// The conference call's presence rules, and its page checked piece by piece.
#include "integrations/ConferenceText.h"

#include <gtest/gtest.h>

namespace {

TEST(ConferenceTextTest, Presence) {
    const struct { const char* caller; const char* callee; Presence presence; } cases[] = {
        {"N;", "N;", Presence::kStart},
        {"n", "N;C;", Presence::kStart},
        {"N;", "C;N;", Presence::kStart},
        {"", "N;", Presence::kCallerNotFree},
        {"C;", "N;", Presence::kCallerNotFree},
        {"N;N;", "N;", Presence::kCallerNotFree},
        {"N;", "n;", Presence::kCalleeAway},
        {"N;", "N", Presence::kCalleeAway},  // no ";": an empty state
        {"N;", "c;", Presence::kCalleeInConference},
        {"N;", "P;", Presence::kCalleeOnCall},
        {"N;", "p;x;", Presence::kCalleeAway},
        {"N;", "", Presence::kCalleeAway},
    };
    for (const auto& c : cases) EXPECT_EQ(DecidePresence(c.caller, c.callee), c.presence) << c.caller << " " << c.callee;
}

TEST(ConferenceTextTest, PageText) {
    const std::string name = "hong_20240305_070809";
    const std::string pieces[] = {
        "<html><head><title>hong_20240305_070809</title></head>\r\n\r\n",
        "<OBJECT id=NvDocView classid=\"CLSID:EBF705E2-D8C6-459D-80AD-66FC5E614C48\" width=100% height=100%></OBJECT>\r\n",
        "<OBJECT id=ConfCtl style=\"LEFT: 0px; TOP: 0px\" height=0 width=0 "
        "classid=\"CLSID:3D473BA9-359C-4B36-98D9-BE0E39651F55\" ></OBJECT>\r\n\r\n",
        "<SCRIPT language=javascript for=\"NvDocView\" event=\"CheckPresider\">\r\nConfCtl.IsPresider(); \r\n"
        "</SCRIPT> \r\n\r\n",
        "<SCRIPT language=javascript for=\"NvDocView\" event=\"ShowAttach\">\r\nConfCtl.OpenFile(arguments[0]);\r\n"
        "</SCRIPT> \r\n\r\n",
        "<SCRIPT language=javascript for=\"NvDocView\" event=\"ScrollHtml\">\r\n"
        "ConfCtl.ScrollHtml(arguments[0], arguments[1]);\r\n</SCRIPT> \r\n\r\n",
        "<SCRIPT language=javascript for=\"ConfCtl\" event=\"ResultScrollHtml(a,b)\">\r\n"
        "NvDocView.DoHtmlScroll(a, b);\r\n</SCRIPT> \r\n\r\n",
        "<SCRIPT language=javascript for=\"ConfCtl\" event=\"ResultIsPresider\">\r\n"
        "NvDocView.IsLeader = arguments[0];\r\n</SCRIPT> \r\n\r\n",
        "<SCRIPT language=javascript for=\"ConfCtl\" event=\"ResultPageInfo\">\r\n"
        "NvDocView.DoSetPageInfo(arguments[0], arguments[1], arguments[2]);\r\n</SCRIPT> \r\n\r\n",
        "<script language=JavaScript>\r\nNvDocView.CurrentURL = window.location;\r\n"
        "NvDocView.CurrentTitle = window.document.title;\r\nNvDocView.DoOpenGenFile(\"hong_20240305_070809\") \r\n\r\n"
        "ConfCtl.SetDeleteFileName(window.document.title+\".pcm\"); \r\nConfCtl.IsPresider(); \r\n</script>\r\n\r\n",
        "</body></html>",
    };
    std::string expected;
    for (const std::string& piece : pieces) expected += piece;
    EXPECT_EQ(ConferencePageText(name), expected);
}

}  // namespace
