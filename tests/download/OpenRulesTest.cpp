// Which element a download fetches, the name its file gets and the route that opens it.
#include "download/OpenRules.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(OpenRules, ElementsAndNames) {
    std::string element = "kept";
    EXPECT_TRUE(ListElement("a\t\tb", 1, &element));
    EXPECT_EQ(element, "b");
    EXPECT_FALSE(ListElement("\ta\tb\t", 2, &element));
    EXPECT_FALSE(ListElement("a", -1, &element));
    EXPECT_EQ(element, "b");

    const struct {
        const char* given;
        const char* prepared;
    } names[] = {
        {" report.doc(12K)", "report.doc"},
        {" memo.txt()", "memo.txt"},
        {"b (2K)", "b"},
        {" 보고서(최종).doc", "보고서(최종).doc"},    // no size suffix: the parentheses are the name's
        {"보고서(최종).doc(1,024K) ", "보고서(최종).doc"},
        {"x.pcm (1K)\t", "x.pcm"},
        {"a(b)", "a(b)"},
        {"   ", ""},
    };
    for (const auto& n : names) EXPECT_EQ(PrepareServerName(n.given), n.prepared) << n.given;
    EXPECT_EQ(SpaceAfterTildes("/d.asp?k=~a~~"), "/d.asp?k=~ a~ ~ ");
}

TEST(OpenRules, ExtensionsPickTheRoute) {
    EXPECT_EQ(LowerExtension("C:\\t\\x.PCM"), "pcm");
    EXPECT_EQ(LowerExtension("C:\\a.b\\file"), "");
    EXPECT_EQ(LowerExtension("C:\\t\\갂.HTM"), "htm");
    EXPECT_TRUE(IsMessageFileExtension("pm_") && IsMessageFileExtension("ncf") && !IsMessageFileExtension("pcm2"));
    EXPECT_TRUE(IsWebPageExtension("html") && !IsWebPageExtension("hta"));
    EXPECT_TRUE(RunsCode("exe") && RunsCode("hta") && RunsCode("lnk") && !RunsCode("doc") && !RunsCode(""));
}

TEST(OpenRules, FoldersAndFailureNumbers) {
    EXPECT_EQ(JoinFolder("C:\\out", "x.doc"), "C:\\out\\x.doc");
    EXPECT_EQ(JoinFolder("C:\\out\\", "x.doc"), "C:\\out\\x.doc");
    EXPECT_EQ(FailureNumber(32), 32);
    // HRESULTs as a 32-bit dialog result gives them.
    EXPECT_EQ(FailureNumber(static_cast<std::int32_t>(0x80190194)), 404);  // HTTP status
    EXPECT_EQ(FailureNumber(static_cast<std::int32_t>(0x80072EFE)), 12030);
    EXPECT_EQ(FailureNumber(static_cast<std::int32_t>(0x80004005)), static_cast<std::int32_t>(0x80004005));
}

}  // namespace
