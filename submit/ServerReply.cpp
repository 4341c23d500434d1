// Reading the answer of the groupware server's upload pages.
#include "submit/ServerReply.h"

#include "res/Texts.h"

namespace {

bool StartsWith(const std::string& text, const char* prefix, std::size_t length) {
    return text.compare(0, length, prefix) == 0;
}

}  // namespace

ServerReply ClassifyServerReply(const std::string& reply) {
    static const char kStored[] = "OK;STORED;";
    static const char kOk[] = "OK;";
    if (reply.empty()) return {ServerReply::Kind::kStopped, texts::kTransferStopped};
    if (StartsWith(reply, kStored, sizeof kStored - 1)) {
        std::string rest = reply.substr(sizeof kStored - 1);
        std::size_t semicolon = rest.find(';');
        if (semicolon != std::string::npos) rest.erase(0, semicolon + 1);
        return {ServerReply::Kind::kAccepted, rest};
    }
    if (StartsWith(reply, kOk, sizeof kOk - 1))
        return {ServerReply::Kind::kAccepted, reply.substr(sizeof kOk - 1)};
    return {ServerReply::Kind::kRefused, reply};
}
