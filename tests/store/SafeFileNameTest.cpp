// Stored file names and the bare names they are extracted under.
#include "store/SafeFileName.h"

#include <gtest/gtest.h>

namespace {

TEST(MakeSafeFileName, Table) {
    struct Case {
        std::string stored;
        const char* safe;  // null: refused
    };
    const Case cases[] = {
        {"report.doc", "report.doc"},
        {"보고서 (최종).hwp", "보고서 (최종).hwp"},
        {" leading blank", " leading blank"},
        {"..\\x", "x"},
        {"..\\..\\..\\Windows\\evil.dll", "evil.dll"},
        {"../../x", "x"},
        {"C:\\x", "x"},
        {"C:x", "x"},
        {"\\\\server\\share\\x", "x"},
        {"\\\\?\\C:\\x", "x"},
        {"a/b", "b"},
        {"a.txt:hidden", "hidden"},
        {"a.txt::$DATA", "$DATA"},
        {"CON", "_CON"},
        {"con", "_con"},
        {"nul.txt", "_nul.txt"},
        {"NUL .txt", "_NUL .txt"},
        {"LPT1", "_LPT1"},
        {"com9.log", "_com9.log"},
        {"COM\xA9\xF6", "_COM\xA9\xF6"},
        {"CONOUT$", "_CONOUT$"},
        {"CONSOLE", "CONSOLE"},
        {"COM10", "COM10"},
        {"LPT", "LPT"},
        {"aux.", "_aux"},
        {"name.", "name"},
        {"name. . .", "name"},
        {"a?b*c<d>e|f\"g\x01h", "a_b_c_d_e_f_g_h"},
        {std::string("ab\0..\\x", 7), "ab"},
        {"", nullptr},
        {".", nullptr},
        {"..", nullptr},
        {"...", nullptr},
        {" . ", nullptr},
        {"C:", nullptr},
        {"a\\", nullptr},
        {"x\\..", nullptr},
        {std::string("\0x", 2), nullptr},
    };
    for (const Case& c : cases) {
        std::string safe = "untouched";
        bool ok = MakeSafeFileName(c.stored, safe);
        if (c.safe) {
            EXPECT_TRUE(ok) << c.stored;
            EXPECT_EQ(safe, c.safe) << c.stored;
        } else {
            EXPECT_FALSE(ok) << c.stored;
            EXPECT_EQ(safe, "untouched") << c.stored;
        }
    }
}

}  // namespace
