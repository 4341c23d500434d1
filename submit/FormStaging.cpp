// Pure rules of staging form fields: entries, the fixed body files and file part names.
#include "submit/FormStaging.h"

std::string FormatFieldEntry(const std::string& name, const std::string& value) {
    return name + "=" + value;
}

FieldKind ClassifyFieldEntry(const std::string& entry) {
    if (entry.find("htmlbody=") != std::string::npos) return FieldKind::kBody;
    if (entry.find("subject=") != std::string::npos) return FieldKind::kSubject;
    return FieldKind::kPlain;
}

bool BodyGoesAsFile(std::uint64_t length) {
    return length / 1000 >= 50;
}

std::optional<VariantFile> ChooseVariantFile(const std::string& name) {
    static const struct {
        const char* key;
        VariantFile file;
    } kTests[] = {
        {"htmlbody=", VariantFile::kBody}, {"subject=", VariantFile::kTitle},
        {"from=", VariantFile::kFrom},     {"to=", VariantFile::kTo},
        {"cc=", VariantFile::kCc},
    };
    const std::string probe = name + "=";
    for (const auto& test : kTests)
        if (probe.find(test.key) != std::string::npos) return test.file;
    return std::nullopt;
}

const char* VariantFileName(VariantFile file) {
    switch (file) {
    case VariantFile::kBody: return "_velabody_.dat";
    case VariantFile::kTitle: return "_velatitle_.dat";
    case VariantFile::kFrom: return "_velafrom_.dat";
    case VariantFile::kTo: return "_velato_.dat";
    case VariantFile::kCc: return "_velacc_.dat";
    }
    return "";
}

std::string FilePartName(const std::string& name, std::int16_t pos) {
    return pos >= 1 ? name + std::to_string(pos) : name;
}
