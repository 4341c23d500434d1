// Size texts of the attachment rows, the file list and the receive dialog.
#include "attach/SizeText.h"

#include "res/Texts.h"

#include <cstdio>

namespace {

bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string Printf(const char* format, double value) {
    char buffer[64];
    int n = std::snprintf(buffer, sizeof buffer, format, value);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace

std::int32_t ParseByteCount(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsCSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    // One past the largest magnitude is enough to know the value saturates.
    const std::int64_t kCap = std::int64_t{INT32_MAX} + 2;
    std::int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > kCap) magnitude = kCap;
    }
    if (negative) return magnitude > -std::int64_t{INT32_MIN} ? INT32_MIN : static_cast<std::int32_t>(-magnitude);
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(magnitude);
}

std::string FormatKBytes(const std::string& byteCount) {
    std::int64_t kilobytes = (std::int64_t{ParseByteCount(byteCount)} + 1023) / 1024;
    return GroupThousands(kilobytes) + "K";
}

std::string GroupThousands(const std::string& decimal) {
    std::size_t start = (!decimal.empty() && (decimal[0] == '-' || decimal[0] == '+')) ? 1 : 0;
    std::string out = decimal.substr(0, start);
    for (std::size_t pos = start; pos < decimal.size(); ++pos) {
        out += decimal[pos];
        std::size_t still = decimal.size() - pos - 1;
        if (still > 0 && still % 3 == 0) out += ',';
    }
    return out;
}

std::string GroupThousands(std::int64_t value) {
    return GroupThousands(std::to_string(value));
}

std::string FormatFileSize(std::optional<std::int64_t> bytes) {
    if (!bytes || *bytes < 0) return texts::kFileSizeUnknown;
    const std::int64_t n = *bytes;
    if (n < 1024) return std::to_string(n) + " Byte";
    if (n < 1048576) return Printf("%3.2f KByte", static_cast<double>(n) / 1024.0);
    if (n < 1073741824) return Printf("%3.2f MByte", static_cast<double>(n) / 1048576.0);
    return Printf("%1.2f GByte", static_cast<double>(n) / 1073741824.0);
}

std::string FormatTransferred(std::int64_t transferred, std::int64_t total) {
    std::string done = GroupThousands(transferred);
    std::string all = GroupThousands(total);
    std::string out(sizeof texts::kTransferredFormat + done.size() + all.size(), '\0');
    int n = std::snprintf(&out[0], out.size(), texts::kTransferredFormat, done.c_str(), all.c_str());
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}
