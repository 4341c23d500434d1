// What DoSubmit sends, computed from the list rows before anything goes on the wire.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The fields of one row's AttachItem that the upload reads.
struct SubmitRow {
    std::string name;
    std::int32_t size = 0;
    bool isLocal = false;
    bool encrypt = false;
};

struct SubmitPlan {
    std::string attachDeleteList;         // removed server names, each followed by a tab
    std::string encFileList;              // "T;"/"F;" per local row, last row's pair first
    std::vector<std::string> localFiles;  // in part order: [0] is my_file1, the last local row
    std::int64_t rowSizeSum = 0;          // AttachItem::size of all rows; 0 without a limit
};

// viewMode 3 reads the file list's rows (no password flags); any other mode the attachment
// list's. A server row removes its attachlist name when IsServerRowOf holds, so its size
// suffix does not hide it. Local rows name their file through LocalPathOfRow.
SubmitPlan PlanSubmit(const std::string& attachList, const std::vector<SubmitRow>& rows,
                      int viewMode, long limitKb);

// The two entries DoSubmit appends to the staged fields.
std::string AttachDeleteListEntry(const SubmitPlan& plan);
std::string EncFileListEntry(const SubmitPlan& plan);

// (fileBytes + rowSizeSum + 1023) / 1024, truncated toward zero. fileBytes is what the local
// files hold on disk (a file whose status cannot be read adds nothing). Saturates at the
// 64-bit limits instead of overflowing.
std::int64_t TotalKBytes(std::int64_t fileBytes, std::int64_t rowSizeSum);

// A limit of 0 means none.
bool ExceedsLimit(std::int64_t totalKb, long limitKb);

// "첨부 문서의 크기가 제한 용량[1,024 KB]를 초과했읍니다."
std::string SizeLimitMessage(long limitKb);

// "my_file1" ... : the part name of the n-th local file (n from 1).
std::string LocalFilePartName(std::size_t n);

// A staged entry split at its first "=" into part name and value. An entry without "="
// (the staging never makes one) is all name with an empty value.
std::pair<std::string, std::string> SplitFieldEntry(const std::string& entry);
