// What DoSubmit sends, computed from the list rows before anything goes on the wire.
#include "submit/SubmitPlan.h"

#include "attach/ListProperty.h"
#include "attach/RowText.h"
#include "attach/SizeText.h"
#include "res/Texts.h"

#include <cstdio>
#include <limits>

SubmitPlan PlanSubmit(const std::string& attachList, const std::vector<SubmitRow>& rows,
                      int viewMode, long limitKb) {
    const bool fileList = viewMode == 3;
    SubmitPlan plan;
    std::vector<std::string> rowNames;
    // The server numbers the files from the last row up, and the flags run the same way.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (row->name.empty() || row->name[0] != ' ')
            plan.localFiles.push_back(LocalPathOfRow(row->name, viewMode));
        if (!fileList && row->isLocal) plan.encFileList += row->encrypt ? "T;" : "F;";
    }
    for (const SubmitRow& row : rows) {
        rowNames.push_back(row.name);
        if (limitKb != 0) plan.rowSizeSum += row.size;
    }
    for (const std::string& name : RemovedServerNames(attachList, rowNames))
        plan.attachDeleteList += name + "\t";
    return plan;
}

std::string AttachDeleteListEntry(const SubmitPlan& plan) {
    return "attachdeletelist=" + plan.attachDeleteList;
}

std::string EncFileListEntry(const SubmitPlan& plan) {
    return "encfilelist=" + plan.encFileList;
}

std::int64_t TotalKBytes(std::int64_t fileBytes, std::int64_t rowSizeSum) {
    const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t bytes;
    if (rowSizeSum > 0 && fileBytes > kMax - rowSizeSum)
        bytes = kMax;
    else if (rowSizeSum < 0 && fileBytes < kMin - rowSizeSum)
        bytes = kMin;
    else
        bytes = fileBytes + rowSizeSum;
    if (bytes > kMax - 1023) return kMax / 1024;
    return (bytes + 1023) / 1024;
}

bool ExceedsLimit(std::int64_t totalKb, long limitKb) {
    return limitKb != 0 && totalKb > limitKb;
}

std::string SizeLimitMessage(long limitKb) {
    std::string limit = GroupThousands(static_cast<std::int64_t>(limitKb));
    std::string out(sizeof texts::kSizeLimitExceeded + limit.size(), '\0');
    int n = std::snprintf(&out[0], out.size(), texts::kSizeLimitExceeded, limit.c_str());
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

std::string LocalFilePartName(std::size_t n) {
    return "my_file" + std::to_string(n);
}

std::pair<std::string, std::string> SplitFieldEntry(const std::string& entry) {
    std::size_t eq = entry.find('=');
    if (eq == std::string::npos) return {entry, std::string()};
    return {entry.substr(0, eq), entry.substr(eq + 1)};
}
