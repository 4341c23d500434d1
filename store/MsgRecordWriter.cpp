// Writes the records of the message file's streams into a byte sink.
#include "store/MsgRecordWriter.h"

#include "store/MsgRecordTags.h"

#include <algorithm>
#include <limits>

namespace {

bool EqualsNoCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return i == a.size() && b[i] == '\0';
}

}  // namespace

bool CMsgRecordWriter::WriteDword(uint32_t value) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16),
                                    static_cast<unsigned char>(value >> 24)};
    return m_sink.Write(bytes, sizeof bytes);
}

bool CMsgRecordWriter::WriteHeader() {
    return WriteDword(MSGREC_BEGIN) && WriteDword(MSGREC_VERSION) && WriteDword(kMsgFileVersion);
}

bool CMsgRecordWriter::WriteEnd() { return WriteDword(MSGREC_END); }

bool CMsgRecordWriter::WriteText(uint32_t tag, const std::string& text) {
    if (text.size() > std::numeric_limits<uint32_t>::max()) return false;
    uint32_t length = static_cast<uint32_t>(text.size());
    return WriteDword(tag) && WriteDword(length) && (length == 0 || m_sink.Write(text.data(), length));
}

bool CMsgRecordWriter::WriteFile(uint32_t tag, const std::string& name, uint32_t length,
                                 CMsgByteSource& content) {
    if (name.empty() || name.size() > std::numeric_limits<uint32_t>::max()) return false;
    if (!WriteDword(tag) || !WriteDword(static_cast<uint32_t>(name.size())) ||
        !m_sink.Write(name.data(), static_cast<uint32_t>(name.size())) || !WriteDword(length))
        return false;
    std::vector<unsigned char> chunk(std::min(length, kChunkSize));
    while (length > 0) {
        uint32_t n = std::min(length, kChunkSize);
        if (!content.Read(chunk.data(), n) || !m_sink.Write(chunk.data(), n)) return false;
        length -= n;
    }
    return true;
}

bool CMsgRecordWriter::WriteProperties(const std::string& to, const std::string& cc,
                                       const std::vector<MsgReplyField>& fields) {
    if (!WriteHeader() || !WriteText(MSGREC_TO, to) || !WriteText(MSGREC_CC, cc)) return false;
    std::string collected;
    for (const MsgReplyField& field : fields) {
        if (EqualsNoCase(field.name, "Keywords")) {
            if (!WriteText(MSGREC_KEYWORDS, field.value)) return false;
        } else if (EqualsNoCase(field.name, "body")) {
            if (!WriteText(MSGREC_BODY, field.value)) return false;
        }
        collected += field.name;
        collected += '\x08';
        collected += field.value;
        collected += '\x7F';
    }
    if (!collected.empty() && !WriteText(MSGREC_FIELDS, collected)) return false;
    return WriteEnd();
}
