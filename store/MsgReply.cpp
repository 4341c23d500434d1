// The groupware server's message reply, which the message file writer asks for.
#include "store/MsgReply.h"

#include "attach/Cp949Text.h"

bool TakeToken(std::string_view& text, char sep, std::string_view& token) {
    if (text.empty()) return false;
    size_t at = text.find(sep);
    if (at == std::string_view::npos) {
        token = text;
        return true;
    }
    token = text.substr(0, at);
    text.remove_prefix(at + 1);
    return true;
}

bool TakeField(std::string_view& text, char sep, std::string& name, std::string& value) {
    std::string_view record;
    if (!TakeToken(text, sep, record)) return false;
    if (record.data() == text.data()) text = {};  // the last record had no sep after it
    size_t at = record.find(kReplyPartSeparator);
    if (at == std::string_view::npos) return false;
    name.assign(record.substr(0, at));
    value.assign(record.substr(at + 1));
    return true;
}

namespace {

// Splits at the first backspace; false without one.
bool SplitPart(std::string_view text, std::string_view& before, std::string_view& after) {
    size_t at = text.find(kReplyPartSeparator);
    if (at == std::string_view::npos) return false;
    before = text.substr(0, at);
    after = text.substr(at + 1);
    return true;
}

}  // namespace

MsgReplyOutcome ParseMsgReply(std::string_view text, MsgReply& reply) {
    if (text.empty()) return MsgReplyOutcome::kEmpty;
    std::string_view field[7];
    if (!TakeToken(text, kReplyFieldSeparator, field[1]) || !TakeToken(text, kReplyFieldSeparator, field[2]))
        return MsgReplyOutcome::kFieldMissing;
    if (TakeToken(text, kReplyFieldSeparator, field[3])) reply.subject.emplace(field[3]);
    for (int i = 4; i <= 6; ++i) {
        if (!TakeToken(text, kReplyFieldSeparator, field[i])) return MsgReplyOutcome::kFieldMissing;
    }

    std::string_view before, after;
    if (SplitPart(field[4], before, after)) {
        reply.to.assign(before);
        reply.cc.assign(after);
    }
    if (SplitPart(field[5], before, after)) {
        reply.attachList.emplace(before);
        std::string_view keys, inlineKeys;
        if (SplitPart(after, keys, inlineKeys)) {
            reply.recordKeyList.emplace(keys);
            reply.inlineKeyList.emplace(inlineKeys);
        }
    }
    if (SplitPart(field[6], before, after)) {
        reply.status.assign(before);
        reply.reason.assign(after);
    }
    if (EqualNoCaseCp949(reply.status, "NOTOK")) return MsgReplyOutcome::kNotOk;

    // Fields 7 and 8 are counts that nothing uses any more; they only have to be passed.
    std::string_view unused;
    TakeToken(text, kReplyFieldSeparator, unused);
    TakeToken(text, kReplyFieldSeparator, unused);

    while (!text.empty()) {
        MsgReplyField record;
        // A record without a backspace is kept with an empty name and value.
        TakeField(text, kReplyFieldSeparator, record.name, record.value);
        if (EqualNoCaseCp949(record.name, "body")) reply.body = record.value;
        reply.records.push_back(std::move(record));
    }
    return MsgReplyOutcome::kOk;
}

std::string MessageDownloadUrl(const MsgLocation& location, const std::string& dataKey) {
    const std::string& key = dataKey.empty() ? location.objDataUrl : dataKey;
    if (!location.type.empty()) {
        return location.formsUrl + "download" + location.type + ".asp?dataurl=" + key +
               "&clsurl=" + location.objClsUrl + "&posturl=" + location.objPostUrl;
    }
    if (!dataKey.empty() && location.batchSave) return location.formsUrl + "download.asp?type=batch&dataurl=" + key;
    return location.formsUrl + "download.asp?dataurl=" + key;
}
