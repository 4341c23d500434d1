// Writes the property stream of a message file from the message's addresses and the
// name/value records of the server's reply.
#pragma once

#include "store/MsgRecordWriter.h"
#include "store/MsgStorage.h"

#include <string>
#include <vector>

// Creates "nc_local_property" in the open storage (replacing one of that name) and
// writes it record by record: header, To, Cc, MSGREC_KEYWORDS / MSGREC_BODY for the
// records so named (any case), MSGREC_FIELDS when there was a record, end. The stream
// is released before it returns. On failure the status is the platform's.
[[nodiscard]] HRESULT WriteMsgPropertyStream(CMsgStorage& storage, const std::string& to, const std::string& cc,
                                             const std::vector<MsgReplyField>& fields);
