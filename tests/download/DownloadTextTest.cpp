// The generated download names and the totals and KB texts of the download dialog.
#include "download/DownloadText.h"

#include <gtest/gtest.h>

namespace {

TEST(DownloadText, GeneratedSaveName) {
    const struct {
        const char* fileName;
        const char* name;
    } cases[] = {
        {"report.final.doc", "report.final-2023115.doc"},
        {"README", "-2023115"},
        {"보고서.hwp", "보고서-2023115.hwp"},
        {".profile", "-2023115.profile"},
        {"archive.tar.gz", "archive.tar-2023115.gz"},
        {"trailing.", "trailing-2023115."},
        {"", "-2023115"},
        // The extension is that of the last component; the stem is cut at the last dot
        // of the whole name, and only its last component is kept.
        {"a.b/README", "a-2023115"},
        {"dir/sub/report.doc", "report-2023115.doc"},
        {"dir\\report.doc", "report-2023115.doc"},
        // Names from the server cannot lead out of the temporary folder.
        {"..\\..\\windows\\system32\\evil.dll", "evil-2023115.dll"},
        {"../../x.exe", "x-2023115.exe"},
        {"C:\\autoexec.bat", "autoexec-2023115.bat"},
        {"C:evil.exe", "evil-2023115.exe"},
        {"x.doc:stream", "x-2023115"},
        {"..", ".-2023115."},
    };
    for (const auto& c : cases) EXPECT_EQ(GeneratedSaveName(c.fileName, 2023, 11, 5), c.name) << c.fileName;
    EXPECT_EQ(GeneratedSaveName("a.txt", 2024, 1, 31), "a-2024131.txt");
    EXPECT_EQ(GeneratedSaveName("a.txt", 2024, 12, 1), "a-2024121.txt");
}

TEST(DownloadText, TotalAndKiloBytes) {
    const struct {
        std::uint32_t maximum;
        const char* hint;
        std::uint32_t total;
        const char* kb;
    } cases[] = {
        {5242880, "", 5242880, "5120 KB"},
        {5242880, "1024", 5242880, "5120 KB"},  // the server's length wins
        {0, "5120", 5120, "5 KB"},
        {0, "", 0x7FFFFFFF, "2097151 KB"},
        {0, "0", 0x7FFFFFFF, "2097151 KB"},
        {0, "abc", 0x7FFFFFFF, "2097151 KB"},
        {0, " 2047 bytes", 2047, "1 KB"},
        {0, "1023", 1023, "0 KB"},
        {0xFFFFFFFF, "", 0xFFFFFFFF, "4194303 KB"},
        {0, "99999999999", 0x7FFFFFFF, "2097151 KB"},
    };
    for (const auto& c : cases) {
        std::uint32_t total = DownloadTotal(c.maximum, c.hint);
        EXPECT_EQ(total, c.total) << c.maximum << " " << c.hint;
        EXPECT_EQ(KiloBytesText(total), c.kb) << c.maximum << " " << c.hint;
    }
}

}  // namespace
