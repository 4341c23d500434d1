// Pure rules of staging form fields: entries, the fixed body files and file part names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// "name=value", the entry of one staged field.
std::string FormatFieldEntry(const std::string& name, const std::string& value);

// DoField: what an entry is, by substring tests on the whole entry ("htmlbody=" first).
enum class FieldKind {
    kBody,     // the entry contains "htmlbody="
    kSubject,  // else it contains "subject=": its value becomes the form's subject
    kPlain,
};
FieldKind ClassifyFieldEntry(const std::string& entry);

// A body of 50,000 bytes or more (length / 1000 >= 50) travels as a file part.
bool BodyGoesAsFile(std::uint64_t length);

// The fixed files of the temporary folder that DoVariant writes.
enum class VariantFile { kBody, kTitle, kFrom, kTo, kCc };

// The file for a DoVariant name: the first of "htmlbody=", "subject=", "from=", "to=",
// "cc=" that name + "=" contains (so bcc is "cc="). No value when none matches: such a
// value has no file to go to, and the caller reports an error instead of staging nothing.
std::optional<VariantFile> ChooseVariantFile(const std::string& name);

// "_velabody_.dat", "_velatitle_.dat", "_velafrom_.dat", "_velato_.dat", "_velacc_.dat".
const char* VariantFileName(VariantFile file);

// DoFile: the part name is name + pos in decimal when pos is 1 or more, else name alone.
std::string FilePartName(const std::string& name, std::int16_t pos);
