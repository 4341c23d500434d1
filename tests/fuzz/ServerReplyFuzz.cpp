// Answers of the upload pages and staged entries, as the server and script send them.
#include "submit/ServerReply.h"
#include "submit/SubmitPlan.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string data(reinterpret_cast<const char*>(bytes), size);

    const ServerReply reply = ClassifyServerReply(data);
    switch (reply.kind) {
    case ServerReply::Kind::kStopped:
        Check(data.empty());
        break;
    case ServerReply::Kind::kAccepted:
        Check(data.compare(0, 3, "OK;") == 0);
        Check(EndsWith(data, reply.shownText) && reply.shownText.size() <= data.size() - 3);
        break;
    case ServerReply::Kind::kRefused:
        Check(!data.empty() && data.compare(0, 3, "OK;") != 0 && reply.shownText == data);
        break;
    }

    const auto [name, value] = SplitFieldEntry(data);
    Check(name.find('=') == std::string::npos);
    Check(name.size() == data.size() ? value.empty() : name + "=" + value == data);
    return 0;
}
