// The groupware server's message reply, which the message file writer asks for: the URL
// it comes from, its fields and its name/value records. The reply is the server's text
// and may hold anything.
#pragma once

#include "store/MsgRecordWriter.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Field separator of the reply and separator inside a field or record.
constexpr char kReplyFieldSeparator = '\x7F';
constexpr char kReplyPartSeparator = '\x08';

// False when text is empty. Otherwise token is text up to the first sep and text loses
// that part and the sep; without a sep token is the whole text and text stays as it is.
bool TakeToken(std::string_view& text, char sep, std::string_view& token);
// One record off the front as TakeToken takes it, except that a last record without a
// sep also leaves text empty. The record is split at its first backspace into name and
// value; without a backspace name and value are left as they are and the result is false.
bool TakeField(std::string_view& text, char sep, std::string& name, std::string& value);

// What the reply says. Unset optionals leave the control's value as it was.
struct MsgReply {
    std::optional<std::string> subject;        // field 3
    std::string to, cc;                        // field 4
    std::optional<std::string> attachList;     // field 5, before its first backspace
    std::optional<std::string> recordKeyList;  // field 5, between its backspaces
    std::optional<std::string> inlineKeyList;  // field 5, after its second backspace
    std::string status, reason;                // field 6
    std::vector<MsgReplyField> records;        // fields 9 and on, in order
    std::optional<std::string> body;           // the last record named "body", any case
};

enum class MsgReplyOutcome {
    kEmpty,         // nothing came
    kFieldMissing,  // field 1, 2, 4, 5 or 6 is missing
    kNotOk,         // the server refused the message ("NOTOK" in any case)
    kOk,
};

// Fills reply as far as the text goes: field 3 also when a later field is missing,
// fields 4 and 5 only when fields 4 to 6 are all there.
MsgReplyOutcome ParseMsgReply(std::string_view text, MsgReply& reply);

// The properties that name the message on the server.
struct MsgLocation {
    std::string formsUrl;  // base of the server scripts; names are appended directly
    std::string type;
    std::string objDataUrl;
    std::string objClsUrl;
    std::string objPostUrl;
    bool batchSave = false;
};

// The download script's URL for the message of dataKey (objDataUrl when empty). Nothing
// is escaped: the keys are the server's own URL pieces.
std::string MessageDownloadUrl(const MsgLocation& location, const std::string& dataKey);
