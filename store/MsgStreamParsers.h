// What each message file reader takes from its stream: which tags it accepts and where
// their payloads go. The storage layer only supplies the bytes and the target folder.
#pragma once

#include "store/MsgFileSink.h"
#include "store/MsgRecordReader.h"

#include <string>

// Each returns true when the stream was read to its end. On false the outputs keep what
// the records before the failure gave them (and extracted files stay extracted): a tag
// the reader does not know, a record that runs past the end, a failing source.
// A counted string of length 0 leaves its output untouched.

// "nc_local_property": body, To and Cc are replaced by their records.
[[nodiscard]] bool ParseMsgProperties(CMsgRecordReader& reader, std::string& body, std::string& to,
                                      std::string& cc);
// "_vxLocalproperty": both address records are appended to one list (see
// AppendLegacyAddresses); there is no Cc.
[[nodiscard]] bool ParseLegacyProperties(CMsgRecordReader& reader, std::string& body,
                                         std::string& addresses);
// "nc_local_inline" / "nc_local_attach", and "_vxLocalAttach": every file record with
// content is extracted through the sink under its safe name (MakeSafeFileName); the name
// and a tab are appended to names, the decimal length and a tab to sizes. A file that the
// sink fails to create, write or finish is left out of the lists, and reading goes on.
[[nodiscard]] bool ParseMsgFiles(CMsgRecordReader& reader, CMsgFileSink& sink, std::string& names,
                                 std::string& sizes);
[[nodiscard]] bool ParseLegacyFiles(CMsgRecordReader& reader, CMsgFileSink& sink, std::string& names,
                                    std::string& sizes);

// Appends each piece of text that a ";" ends, followed by "; "; text after the last ";"
// is dropped.
void AppendLegacyAddresses(const std::string& text, std::string& addresses);
