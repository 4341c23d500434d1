// Row texts of the attachment and file lists, duplicates, server rows and copy names.
#include "attach/RowText.h"

#include <gtest/gtest.h>

namespace {

const std::string kGak = "\x81" "A";  // "갂": its trail byte reads as 'A'
const std::string kGat = "\x81" "a";  // "갵"

struct RowCase {
    std::string text;
    int viewMode;
    std::string name, label, icon;
};

TEST(RowText, AttachRowFollowsViewMode) {
    const RowCase cases[] = {
        {" a.txt()", 0, " a.txt()", "a.txt()", " a.txt"},
        {" a.txt()", 1, " a.txt", "a.txt", " a.txt"},
        {" b.txt(3K)", 1, " b.txt(3K)", "b.txt(3K)", " b.txt(3K)"},
        {" b.txt", 1, " b.txt", "b.txt", " b.txt"},
        {"C:\\dir\\x.doc()", 1, "C:\\dir\\x.doc", "x.doc", "C:\\dir\\x.doc"},
        {"C:\\dir\\x.doc()", 0, "C:\\dir\\x.doc()", "x.doc()", "C:\\dir\\x.doc"},
        // Only the last "()" is the empty size suffix.
        {"C:\\dir\\x()()", 1, "C:\\dir\\x()", "x()", "C:\\dir\\x()"},
        {"C:\\dir\\report(1).doc()", 1, "C:\\dir\\report(1).doc", "report(1).doc",
         "C:\\dir\\report(1).doc"},
        {"C:\\dir\\x.doc( )", 1, "C:\\dir\\x.doc( )", "x.doc( )", "C:\\dir\\x.doc( )"},
        {"C:\\dir\\  spaced.doc()", 1, "C:\\dir\\  spaced.doc", "spaced.doc",
         "C:\\dir\\  spaced.doc"},
        {"C:\\dir\\", 1, "C:\\dir\\", "", "C:\\dir\\"},
        {"", 1, "", "", ""},
        {"()", 1, "", "", ""},
        {"C:\\" + kGak + "\\" + kGat + ".doc()", 1, "C:\\" + kGak + "\\" + kGat + ".doc",
         kGat + ".doc", "C:\\" + kGak + "\\" + kGat + ".doc"},
    };
    for (const RowCase& c : cases) {
        ListRowText row = MakeAttachRow(c.text, c.viewMode);
        EXPECT_EQ(row.name, c.name) << c.text << " mode " << c.viewMode;
        EXPECT_EQ(row.label, c.label) << c.text << " mode " << c.viewMode;
        EXPECT_EQ(row.iconPath, c.icon) << c.text << " mode " << c.viewMode;
    }
}

TEST(RowText, FileRowCutsAtLastParen) {
    const RowCase cases[] = {
        {"C:\\docs\\report(1).doc()", 3, "C:\\docs\\report(1).doc", "report(1).doc",
         "C:\\docs\\report(1).doc"},
        {"C:\\docs\\x.doc", 3, "C:\\docs\\x.doc", "x.doc", "C:\\docs\\x.doc"},
        {" srv.doc(2K)", 3, " srv.doc", "srv.doc", " srv.doc"},
        {"C:\\서명\\문서.hwp()", 3, "C:\\서명\\문서.hwp", "문서.hwp", "C:\\서명\\문서.hwp"},
    };
    for (const RowCase& c : cases) {
        ListRowText row = MakeFileRow(c.text);
        EXPECT_EQ(row.name, c.name);
        EXPECT_EQ(row.label, c.label);
        EXPECT_EQ(row.iconPath, c.icon);
    }
}

TEST(RowText, TextsBeyondTheWorkBufferKeepTheirNameAndShortenTheLabel) {
    const std::string fits = "C:\\" + std::string(kRowTextBufferSize - 1 - 3 - 2, 'a') + "()";
    ASSERT_EQ(fits.size(), 511u);
    EXPECT_TRUE(FitsRowText(fits));
    EXPECT_FALSE(FitsRowText(fits + "x"));
    // A zero byte would cut the name short wherever it is used as C text.
    EXPECT_FALSE(FitsRowText(std::string("C:\\a.doc\0x.doc()", 16)));

    // Three-byte steps of a Korean character and "a": the cut never splits a character.
    std::string name;
    while (name.size() < 600) name += "\xB0\xA1" "a";
    ListRowText server = MakeAttachRow(" " + name + ".doc()", 1);
    EXPECT_EQ(server.name, " " + name + ".doc");
    EXPECT_EQ(server.label, name.substr(0, 507) + "...");
    EXPECT_EQ(server.iconPath, " x.doc");
    ListRowText file = MakeFileRow("C:\\" + name + ".hwp()");
    EXPECT_EQ(file.name, "C:\\" + name + ".hwp");
    EXPECT_EQ(file.iconPath, "x.hwp");
}

TEST(RowText, SameFileIgnoresCaseAndEmptySuffix) {
    const struct {
        std::string rowName, path;
        bool same;
    } cases[] = {
        {"C:\\A.DOC", "c:\\a.doc", true},
        {"C:\\a.doc()", "C:\\A.doc", true},
        {"C:\\문서.DOC()", "c:\\문서.doc", true},
        {"C:\\a.doc(2K)", "C:\\a.doc", false},
        {"C:\\a.doc", "C:\\a.docx", false},
        {"C:\\a.doc()", "C:\\a.doc()", true},
        {"C:\\x()()", "C:\\x()", true},
        {"C:\\" + kGak + ".doc", "C:\\" + kGat + ".doc", false},
        {" a.doc()", "a.doc", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSameFile(c.rowName, c.path), c.same) << c.rowName << " / " << c.path;
}

TEST(RowText, ServerRowMatchesItsNameWithOrWithoutSizeSuffix) {
    const struct {
        std::string rowName, attachName;
        bool match;
    } cases[] = {
        {" A.DOC", "a.doc", true},
        {" a.doc(2K)", "a.doc", true},
        {" a.doc(1,024K)", "A.DOC", true},
        {" a.doc(-1K)", "a.doc", true},
        {" a.doc()", "a.doc", true},
        {" a.doc(2K)", "a.doc(2K)", true},
        {" report(1).doc", "report(1).doc", true},
        {" report(1).doc()", "report(1).doc", true},
        {" report(1).doc(3K)", "report(1).doc", true},
        {" 보고서.hwp(12K)", "보고서.hwp", true},
        {" memo(1)", "memo(1)", true},
        {" memo(1)", "memo", false},
        {" a.doc(K)", "a.doc", false},
        {" a.doc(2K)x", "a.doc", false},
        {" a.doc(2 K)", "a.doc", false},
        {" a.doc(2K)", "b.doc", false},
        {" " + kGak + ".doc(1K)", kGat + ".doc", false},
        {"a.doc", "a.doc", false},
        {"", "", false},
        {"  a.doc", "a.doc", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsServerRowOf(c.rowName, c.attachName), c.match)
            << "[" << c.rowName << "] / [" << c.attachName << "]";
}

TEST(RowText, LocalPathOfRow) {
    const struct {
        const char* rowName;
        int viewMode;
        const char* path;
    } cases[] = {
        {"C:\\a.doc()", 0, "C:\\a.doc"}, {"C:\\a.doc()", 2, "C:\\a.doc"},
        {"C:\\a.doc", 0, "C:\\a.doc"},   {"C:\\a.doc()", 1, "C:\\a.doc()"},
        {"C:\\x()", 1, "C:\\x()"},       {"C:\\a.doc()", 3, "C:\\a.doc()"},
        {"C:\\x()()", 0, "C:\\x()"},
    };
    for (const auto& c : cases) EXPECT_EQ(LocalPathOfRow(c.rowName, c.viewMode), c.path);
}

TEST(RowText, CopyPathCandidates) {
    EXPECT_EQ(CopyPathCandidate("C:\\dir\\a.doc", 1), "C:\\dir\\사본 - a.doc");
    EXPECT_EQ(CopyPathCandidate("C:\\dir\\a.doc", 2), "C:\\dir\\사본 (2) - a.doc");
    EXPECT_EQ(CopyPathCandidate("C:\\dir\\a.doc", kCopyPathAttempts),
              "C:\\dir\\사본 (99) - a.doc");
    EXPECT_EQ(CopyPathCandidate("C:\\문서\\보고서.hwp", 1), "C:\\문서\\사본 - 보고서.hwp");
    EXPECT_EQ(CopyPathCandidate("a.doc", 1), "사본 - a.doc");
    EXPECT_FALSE(CopyPathCandidate("C:\\dir\\a.doc", 0));
    EXPECT_FALSE(CopyPathCandidate("C:\\dir\\a.doc", kCopyPathAttempts + 1));
    EXPECT_FALSE(CopyPathCandidate("C:\\dir\\", 1));
    EXPECT_FALSE(CopyPathCandidate("", 1));

    // "사본 - " is 7 bytes in CP949 and "사본 (2) - " 11: a candidate holds at most 259.
    const std::string longest = "C:\\" + std::string(259 - 3 - 7, 'n');
    auto fits = CopyPathCandidate(longest, 1);
    ASSERT_TRUE(fits);
    EXPECT_EQ(fits->size(), 259u);
    EXPECT_FALSE(CopyPathCandidate(longest + "n", 1));
    EXPECT_FALSE(CopyPathCandidate(longest, 2));
    EXPECT_TRUE(CopyPathCandidate(longest.substr(0, longest.size() - 4), 2));
}

}  // namespace
