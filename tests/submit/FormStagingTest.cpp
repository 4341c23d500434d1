// Staging rules of form fields: entries, body files and part names.
#include "submit/FormStaging.h"
#include "transfer/UrlCoding.h"

#include <gtest/gtest.h>

namespace {

TEST(FormStaging, FieldEntries) {
    EXPECT_EQ(FormatFieldEntry("subject", "회의 안내"), "subject=회의 안내");
    EXPECT_EQ(FormatFieldEntry("a", ""), "a=");
    const struct {
        const char* entry;
        FieldKind kind;
    } cases[] = {
        {"htmlbody=<p>x</p>", FieldKind::kBody}, {"subject=hi", FieldKind::kSubject},
        {"to=a@b.c", FieldKind::kPlain},          {"memo=see htmlbody=", FieldKind::kBody},
        {"subject=htmlbody=", FieldKind::kBody},  {"mysubject=x", FieldKind::kSubject},
        {"HTMLBODY=x", FieldKind::kPlain},        {"htmlbody", FieldKind::kPlain},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassifyFieldEntry(c.entry), c.kind) << c.entry;
}

TEST(FormStaging, BodyThreshold) {
    const struct {
        std::uint64_t length;
        bool asFile;
    } cases[] = {{0, false}, {49000, false}, {49999, false}, {50000, true}, {50001, true},
                 {1ULL << 40, true}};
    for (const auto& c : cases) EXPECT_EQ(BodyGoesAsFile(c.length), c.asFile) << c.length;
}

TEST(FormStaging, VariantFileByFirstMatchingSubstring) {
    const struct {
        const char* name;
        std::optional<VariantFile> file;
        const char* fileName;
    } cases[] = {
        {"htmlbody", VariantFile::kBody, "_velabody_.dat"},
        {"subject", VariantFile::kTitle, "_velatitle_.dat"},
        {"from", VariantFile::kFrom, "_velafrom_.dat"},
        {"to", VariantFile::kTo, "_velato_.dat"},
        {"cc", VariantFile::kCc, "_velacc_.dat"},
        {"bcc", VariantFile::kCc, "_velacc_.dat"},
        {"photo", VariantFile::kTo, "_velato_.dat"},
        {"mailfrom", VariantFile::kFrom, "_velafrom_.dat"},
        {"to=subject", VariantFile::kTitle, "_velatitle_.dat"},
        {"xyz", std::nullopt, ""},
        {"", std::nullopt, ""},
        {"Subject", std::nullopt, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseVariantFile(c.name), c.file) << c.name;
        if (c.file) {
            EXPECT_STREQ(VariantFileName(*c.file), c.fileName);
        }
    }
}

TEST(FormStaging, FilePartNameAndDecodedPath) {
    EXPECT_EQ(FilePartName("my_file", 2), "my_file2");
    EXPECT_EQ(FilePartName("my_file", 3), "my_file3");
    EXPECT_EQ(FilePartName("my_file", 1), "my_file1");
    EXPECT_EQ(FilePartName("my_file", 0), "my_file");
    EXPECT_EQ(FilePartName("my_file", -1), "my_file");
    EXPECT_EQ(FilePartName("my_file", INT16_MAX), "my_file32767");
    // DoFile with my_file, a path written with %3A and %5C, and position 2.
    EXPECT_EQ(PercentDecode("C%3A%5Cdocs%5C%BA%B8%B0%ED%BC%AD.hwp"), "C:\\docs\\보고서.hwp");
}

}  // namespace
