// Staging rules of form fields: the kinds of staged entries and the files of DoVariant.
#include "submit/FormStaging.h"

#include <gtest/gtest.h>

namespace {

TEST(FormStaging, FieldEntries) {
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

}  // namespace
