// Size texts of the attachment rows, the file list and the receive dialog.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Reads a byte count the way strtol does on Windows (leading white space, sign, decimal
// digits, nothing after them matters; no number gives 0), saturating at the 32-bit long
// limits as Windows' long does, so the result is the same on every build.
std::int32_t ParseByteCount(const std::string& text);

// The size suffix of a server row: (n + 1023) / 1024 kilobytes, truncated toward zero,
// grouped by thousands, followed by "K". "1048576" gives "1,024K"; "-2048" gives "-1K".
// The sum is taken in 64 bits, so "2147483647" gives "2,097,152K" instead of overflowing.
std::string FormatKBytes(const std::string& byteCount);

// Puts a "," after a digit whenever the number of digits still to come is a positive
// multiple of 3. A leading sign is kept in front and not counted: "-1234" gives "-1,234"
// and "-123" stays "-123". An empty string stays empty.
std::string GroupThousands(const std::string& decimal);
std::string GroupThousands(std::int64_t value);

// Size column of the file list: "%d Byte", "%3.2f KByte", "%3.2f MByte", "%1.2f GByte".
// Takes the file's full 64-bit size, so files of 2 GB and more show their real size
// ("3.00 GByte") instead of a negative 32-bit count. No size (the file's status could not
// be read) and negative sizes give the "unknown" text.
std::string FormatFileSize(std::optional<std::int64_t> bytes);

// "1,234/56,789바이트": bytes transferred and total, each grouped by thousands.
std::string FormatTransferred(std::int64_t transferred, std::int64_t total);
