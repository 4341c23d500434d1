// The server's message reply as the message file writer reads it: fields, records, the
// images its body refers to and the attachments of its lists. The body is also scanned
// repeated to 64 KB, so a scan that grows faster than the body runs into the time-out.
#include "store/MsgDownloadPlan.h"
#include "store/MsgReply.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string data(reinterpret_cast<const char*>(bytes), size);

    MsgReply reply;
    const MsgReplyOutcome outcome = ParseMsgReply(data, reply);
    Check((outcome == MsgReplyOutcome::kEmpty) == data.empty());
    Check(!reply.recordKeyList || reply.attachList);
    if (outcome != MsgReplyOutcome::kOk) Check(reply.records.empty() && !reply.body);

    const std::string body = reply.body ? *reply.body : data;
    for (const std::string type : {"", "mail"}) {
        std::set<std::string> names;
        for (const MsgDownload& image : PlanInlineImages(body, reply.inlineKeyList.value_or(data), type)) {
            Check(!image.name.empty() && !image.url.empty());
            Check(names.insert(image.name).second);
        }
    }
    for (const MsgDownload& attachment :
         PlanAttachDownloads(reply.attachList.value_or(data), reply.recordKeyList.value_or(data), data))
        Check(!attachment.name.empty() && attachment.url.find('\t') == std::string::npos);

    if (!data.empty()) {
        std::string large;
        while (large.size() < (1u << 16)) large += data;
        for (const std::string& source : InlineImageSources(large)) Check(!source.empty() && source.size() < large.size());
    }
    return 0;
}
