// The rules of archiving a server folder and registering saved items with the server:
// identifier lists, the registration's query and the reading of its answer.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// WM_COPYDATA codes of the registration answers.
constexpr unsigned kCodeMailRegistered = 15;
constexpr unsigned kCodeSignRegistered = 21;

// The identifiers of a ";" list, in order; empty pieces are skipped and the last piece
// needs no ";" after it.
std::vector<std::string> SplitIdList(const std::string& list);

// The batch page's answer as the ";" list that DoSaveLocal takes. Blanks and line breaks
// around an identifier are the page's layout and go; an identifier that still holds a
// control character would be written into a request line as it stands, and is dropped.
std::string BatchIdList(const std::string& answer);

// The folder type a sign document is registered with: 1 for "미결함" (pending), 2 for
// "기안함" (drafts), 3 for any other folder.
short SignFolderType(const std::string& folderName);

// The registration's query fields in order: "id", "folder", "filesize" (the true length
// in decimal, also past 4 GB) and, for a sign document (folderType above 0), "foltype".
std::vector<std::pair<std::string, std::string>> RegistrationFields(const std::string& id,
                                                                    const std::string& folder,
                                                                    uint64_t size, short folderType);

enum class RegisterOutcome {
    kUploadMail,     // "M": upload the mail file under the identifier
    kUploadSign,     // "S": upload the sign document under the identifier
    kQuotaExceeded,  // "1"
    kInsertFailed,   // "2"
    kUnknown,        // anything else, also an "M" or "S" the running request cannot have sent
};

struct RegisterAnswer {
    RegisterOutcome outcome = RegisterOutcome::kUnknown;
    std::string id;  // for the uploads: the text after the first ";", the whole answer without one
};

// The server's answer to the registration of code 15 (mail) or 21 (sign), by its first
// character. The mail page answers "M", the sign page "S".
RegisterAnswer ReadRegisterAnswer(unsigned code, const std::string& answer);
