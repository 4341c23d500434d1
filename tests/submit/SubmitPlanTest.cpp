// What DoSubmit sends: removed server names, password flags, file order, size limit.
#include "submit/SubmitPlan.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Names = std::vector<std::string>;

SubmitRow Server(const std::string& name) {
    return {" " + name, 0, false, false};
}

SubmitRow Local(const std::string& path, bool encrypt = false, std::int32_t size = 0) {
    return {path, size, true, encrypt};
}

// The removed server names and the password flags as the upload carries them, and the
// order of the files, are the compose page's (test_submit_pages.py); here: the other rows.
TEST(SubmitPlan, FlagsAndFilesRunFromTheLastLocalRow) {
    const struct {
        std::vector<SubmitRow> rows;
        int viewMode;
        std::string flags;
        Names files;
    } cases[] = {
        {{Local("C:\\1", true), Local("C:\\2"), Local("C:\\3")}, 1, "F;F;T;",
         {"C:\\3", "C:\\2", "C:\\1"}},
        {{Local("C:\\1", true), Server("s.doc(1K)"), Local("C:\\2")}, 1, "F;T;", {"C:\\2", "C:\\1"}},
        {{Server("s.doc")}, 1, "", {}},
        // Outside compose mode local rows keep their empty size suffix; the file has none.
        {{Local("C:\\1.doc()", true), Local("C:\\x()()")}, 0, "F;T;", {"C:\\x()", "C:\\1.doc"}},
        // A local path without isLocal still goes out, but carries no flag.
        {{{"C:\\odd", 0, false, true}, Local("C:\\2", true)}, 1, "T;", {"C:\\2", "C:\\odd"}},
    };
    for (const auto& c : cases) {
        SubmitPlan plan = PlanSubmit("", c.rows, c.viewMode, 0);
        EXPECT_EQ(plan.encFileList, c.flags);
        EXPECT_EQ(EncFileListEntry(plan), "encfilelist=" + c.flags);
        EXPECT_EQ(plan.localFiles, c.files);
    }
}

TEST(SubmitPlan, RowSizesCountOnlyUnderALimit) {
    const std::vector<SubmitRow> rows = {Local("C:\\1", false, 5), Server("s.doc"),
                                         Local("C:\\2", false, 7)};
    EXPECT_EQ(PlanSubmit("", rows, 1, 0).rowSizeSum, 0);
    EXPECT_EQ(PlanSubmit("", rows, 1, 100).rowSizeSum, 12);
}

TEST(SubmitPlan, TotalKilobytesAndLimit) {
    const struct {
        std::int64_t fileBytes, rowBytes, totalKb;
    } cases[] = {
        {51200 + 51201, 0, 101}, {0, 0, 0},           {1, 0, 1},   {1024, 0, 1},
        {1025, 0, 2},            {1000, 24, 1},       {1000, 25, 2}, {-2048, 0, -1},
        {0, -1, 0},              {4294967296LL, 0, 4194304},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TotalKBytes(c.fileBytes, c.rowBytes), c.totalKb) << c.fileBytes << "+" << c.rowBytes;

    EXPECT_TRUE(ExceedsLimit(101, 100));
    EXPECT_FALSE(ExceedsLimit(100, 100));
    EXPECT_FALSE(ExceedsLimit(101, 0));
    EXPECT_EQ(SizeLimitMessage(1024), "첨부 문서의 크기가 제한 용량[1,024 KB]를 초과했읍니다.");
}

}  // namespace
