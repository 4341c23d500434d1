// The names and numbers the download dialogs show and write: the generated file name
// and the total a transfer's progress is measured against.
#pragma once

#include <cstdint>
#include <string>

// The name a download gets in the temporary folder when the caller gives no path: the
// display name's stem, "-", the local date as year, month and day without leading zeros,
// and the extension of the name's last component. "report.final.doc" on 2023-11-05 gives
// "report.final-2023115.doc"; "README" gives "-2023115".
//
// The display name comes from the server, so the result is always a plain file name:
// whatever the stem holds up to its last "\", "/" or ":" is dropped ("..\..\x.exe" gives
// "x-2023115.exe"), and so it cannot lead out of the temporary folder.
std::string GeneratedSaveName(const std::string& fileName, int year, int month, int day);

// The total of a download: the server's length when it gave one (maximum), else the
// caller's size hint read as a decimal byte count, else 0x7FFFFFFF, which keeps the bar
// at 0 and reads 2097151 KB.
std::uint32_t DownloadTotal(std::uint32_t maximum, const std::string& sizeHint);

// "%d KB" of bytes / 1024, truncated.
std::string KiloBytesText(std::uint32_t bytes);
