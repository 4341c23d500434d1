// Tab-separated list properties: names with sizes, record keys and the script views.
#include "attach/ListProperty.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

TEST(ListProperty, ElementsAreMaximalRunsOfNonTabs) {
    const struct {
        std::string list;
        Names elements;
    } cases[] = {
        {"", {}},
        {"\t\t", {}},
        {"a", {"a"}},
        {"a\tb", {"a", "b"}},
        {"\ta\t\tb\t", {"a", "b"}},
        {" a \tb c", {" a ", "b c"}},
        {"문서.hwp\t보고서.doc\t", {"문서.hwp", "보고서.doc"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitTabList(c.list), c.elements) << c.list;
}

TEST(ListProperty, AttachDialogRowsRepeatTheLastSizeOnceCountsRunOut) {
    const struct {
        std::string names, sizes, shown;
    } cases[] = {
        {"a\tb\t", "10\t2048\t", "a(1K) b(2K) "},
        {"a\tb\tc", "10\t", "a(1K) b(1K) c(1K) "},
        {"a\tb\tc", "10\t2048", "a(1K) b c "},
        {"a\tb", "", "a b "},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const DialogRow& row : AttachDialogRows(c.names, c.sizes)) shown += row.name + row.sizeText + " ";
        EXPECT_EQ(shown, c.shown) << c.names << " / " << c.sizes;
    }
}

TEST(ListProperty, ServerRowTextsPairNamesWithTabTerminatedCounts) {
    const struct {
        std::string names, sizes;
        Names withParens, withoutSuffix;
    } cases[] = {
        {"a.doc\tb.pdf", "2048\t10\t", {" a.doc(2K)", " b.pdf(1K)"}, {" a.doc(2K)", " b.pdf(1K)"}},
        // A count without a tab after it gives its name and all later ones no size.
        {"a.doc\tb.pdf", "2048\t10", {" a.doc(2K)", " b.pdf()"}, {" a.doc(2K)", " b.pdf"}},
        {"a\tb\tc", "10\t20\t30", {" a(1K)", " b(1K)", " c()"}, {" a(1K)", " b(1K)", " c"}},
        {"a\tb\tc", "2048", {" a()", " b()", " c()"}, {" a", " b", " c"}},
        // Names after the last count have no size of their own.
        {"a\tb\tc", "2048\t", {" a(2K)", " b()", " c()"}, {" a(2K)", " b", " c"}},
        {"a\tb", "", {" a()", " b()"}, {" a", " b"}},
        {"", "10\t", {}, {}},
        {"\t\t", "", {}, {}},
        // Repeated tabs separate nothing, in the names and in the counts.
        {"\ta\t\tb\t", "2048\t\t\t10\t", {" a(2K)", " b(1K)"}, {" a(2K)", " b(1K)"}},
        {"a", "abc\t", {" a(0K)"}, {" a(0K)"}},
        {"a", "1073741824\t", {" a(1,048,576K)"}, {" a(1,048,576K)"}},
        {"문서.hwp", "1048576\t", {" 문서.hwp(1,024K)"}, {" 문서.hwp(1,024K)"}},
        {" spaced name ", "1\t", {"  spaced name (1K)"}, {"  spaced name (1K)"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ServerRowTexts(c.names, c.sizes, NoSizeSuffix::kEmptyParens), c.withParens)
            << c.names << " / " << c.sizes;
        EXPECT_EQ(ServerRowTexts(c.names, c.sizes, NoSizeSuffix::kNone), c.withoutSuffix)
            << c.names << " / " << c.sizes;
    }
}

TEST(ListProperty, RecordKeyOfRow) {
    const struct {
        std::string keys;
        long long rowIndex, rowCount;
        std::string key;
    } cases[] = {
        {"k0\tk1\t", 0, 2, "k0"},
        {"k0\tk1\t", 1, 2, "k1"},
        // One local row on top: the server rows' keys start one row lower.
        {"k0\tk1\t", 0, 3, ""},
        {"k0\tk1\t", 1, 3, "k0"},
        {"k0\tk1\t", 2, 3, "k1"},
        {"k0\tk1\tk2\t", 1, 2, "k1"},
        {"k0\tk1\t", 2, 2, ""},
        {"k0\tk1\t", -1, 2, ""},
        {"", 0, 1, ""},
        {"\tk0\t\tk1", 1, 2, "k1"},
        {"k0", 0, 1, "k0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecordKeyForRow(c.keys, c.rowIndex, c.rowCount), c.key)
            << c.keys << " row " << c.rowIndex << " of " << c.rowCount;
}

TEST(ListProperty, RemoveRecordKeyTakesWholeTabTerminatedElements) {
    const struct {
        std::string keys, key, after;
    } cases[] = {
        {"k1\tk2\t", "k1", "k2\t"},
        {"k1\tk2\tk1\t", "k1", "k2\t"},
        {"k1\tk2\t", "k2", "k1\t"},
        {"k1\tk2\t", "k3", "k1\tk2\t"},
        {"ak1\tk1\t", "k1", "ak1\t"},
        {"k10\tk1\t", "k1", "k10\t"},
        {"k1\t\tk2\t", "k2", "k1\t\t"},
        // The last key without a tab after it stays, as the server sends every key with one.
        {"k1\tk2", "k2", "k1\tk2"},
        {"k1\t", "", "k1\t"},
        {"", "k1", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(RemoveRecordKey(c.keys, c.key), c.after) << c.keys;
}

TEST(ListProperty, DeletedServerNames) {
    const struct {
        std::string names;
        Names rows;
        std::string text;
    } cases[] = {
        {"a.doc\tb.doc", {" A.DOC"}, "b.doc|"},
        {"a.doc\tb.doc", {" a.doc(2K)"}, "b.doc|"},
        {"a.doc\tb.doc", {" a.doc()", " b.doc(1K)"}, ""},
        {"a.doc\tb.doc", {}, "a.doc|b.doc|"},
        {"a.doc\ta.doc\tc", {" a.doc"}, "c|"},
        {"a.doc", {"a.doc"}, "a.doc|"},
        {"a.doc", {"C:\\a.doc()"}, "a.doc|"},
        {"\t\t", {" a"}, ""},
        {"보고서.hwp\t\x81" "A.doc", {" 보고서.HWP(3K)", " \x81" "a.doc"}, "\x81" "A.doc|"},
    };
    for (const auto& c : cases) EXPECT_EQ(GetDeleteAttachText(c.names, c.rows), c.text) << c.names;
    EXPECT_EQ(RemovedServerNames("a.doc\tb.doc\tc.doc", {" b.doc(1K)"}), (Names{"a.doc", "c.doc"}));
}

TEST(ListProperty, TabTerminatedNamesStopAtTheFirstNameWithoutTab) {
    const struct {
        std::string list;
        Names names;
    } cases[] = {
        {"a\tb\t", {"a", "b"}}, {"a\tb", {"a"}},       {"a", {}},
        {"", {}},               {"\t", {}},            {"a\t\tb\t", {"a", "b"}},
        {"a\tb\tc", {"a", "b"}}, {"이미지.png\t", {"이미지.png"}},
    };
    for (const auto& c : cases) EXPECT_EQ(TabTerminatedNames(c.list), c.names) << c.list;
}

}  // namespace
