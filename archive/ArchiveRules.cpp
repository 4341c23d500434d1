// The rules of archiving a server folder and registering saved items with the server.
#include "archive/ArchiveRules.h"

namespace {

bool IsLayoutBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool HasControlCharacter(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

}  // namespace

std::vector<std::string> SplitIdList(const std::string& list) {
    std::vector<std::string> ids;
    size_t pos = 0;
    while (pos < list.size()) {
        size_t end = list.find(';', pos);
        if (end == std::string::npos) end = list.size();
        if (end > pos) ids.push_back(list.substr(pos, end - pos));
        pos = end + 1;
    }
    return ids;
}

std::string BatchIdList(const std::string& answer) {
    std::string list;
    for (const std::string& piece : SplitIdList(answer)) {
        size_t first = 0, last = piece.size();
        while (first < last && IsLayoutBlank(piece[first])) ++first;
        while (last > first && IsLayoutBlank(piece[last - 1])) --last;
        std::string id = piece.substr(first, last - first);
        if (id.empty() || HasControlCharacter(id)) continue;
        list += id + ";";
    }
    return list;
}

short SignFolderType(const std::string& folderName) {
    if (folderName == "미결함") return 1;
    if (folderName == "기안함") return 2;
    return 3;
}

std::vector<std::pair<std::string, std::string>> RegistrationFields(const std::string& id,
                                                                    const std::string& folder,
                                                                    uint64_t size, short folderType) {
    std::vector<std::pair<std::string, std::string>> fields = {
        {"id", id}, {"folder", folder}, {"filesize", std::to_string(size)}};
    if (folderType > 0) fields.emplace_back("foltype", std::to_string(folderType));
    return fields;
}

RegisterAnswer ReadRegisterAnswer(unsigned code, const std::string& answer) {
    RegisterAnswer read;
    const char first = answer.empty() ? '\0' : answer[0];
    if ((first == 'M' && code == kCodeMailRegistered) || (first == 'S' && code == kCodeSignRegistered)) {
        read.outcome = first == 'M' ? RegisterOutcome::kUploadMail : RegisterOutcome::kUploadSign;
        size_t semicolon = answer.find(';');
        read.id = semicolon == std::string::npos ? answer : answer.substr(semicolon + 1);
    } else if (first == '1') {
        read.outcome = RegisterOutcome::kQuotaExceeded;
    } else if (first == '2') {
        read.outcome = RegisterOutcome::kInsertFailed;
    }
    return read;
}
