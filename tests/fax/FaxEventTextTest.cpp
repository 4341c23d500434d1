// Which rows a fax page is told about, and the exact event text pages parse.
#include "fax/FaxEventText.h"

#include <gtest/gtest.h>

namespace {

TEST(FaxEventTextTest, Extensions) {
    const struct { const char* row; const char* extension; bool faxable; } cases[] = {
        {"a.DOCX", "doc", true}, {"scan.tiff", "tif", true}, {"page.htm", "htm", true},
        {" 보고서.hwp(12K)", "hwp", true}, {" memo.txt()", "txt", true}, {"a.b.xls", "xls", true},
        {"doc", "doc", true}, {"archive.zip", "zip", false}, {"noext.", "", false}, {"x.Ncf", "ncf", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FaxExtension(c.row), c.extension) << c.row;
        EXPECT_EQ(IsFaxable(c.row), c.faxable) << c.row;
    }
}

TEST(FaxEventTextTest, EventTexts) {
    const struct { std::vector<FaxRow> rows; const char* text; } cases[] = {
        {{}, "S|0|"},
        {{{"1.doc", "p1"}, {"2.xls", "p2"}, {"3.txt", "p3"}}, "S|3|p1|p2|p3"},
        {{{"1.doc", ""}, {"2.xls", "p2"}}, "S|2|p2"},
        {{{"1.doc", "p1"}, {"2.xls", ""}}, "S|2|p1|"},
        {{{"a.zip", "p1"}}, "S|0|"},
    };
    for (const auto& c : cases) EXPECT_EQ(BuildFaxEventText("S", c.rows), c.text);
}

}  // namespace
