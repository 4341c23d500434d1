// What each message file reader takes from its stream: which tags it accepts and where
// their payloads go. The storage layer only supplies the bytes and the target folder.
#include "store/MsgStreamParsers.h"

#include "store/MsgRecordTags.h"
#include "store/SafeFileName.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace {

bool ReadInto(CMsgRecordReader& reader, std::string& out) {
    std::optional<std::string> text;
    if (!reader.ReadText(text)) return false;
    if (text) out = std::move(*text);
    return true;
}

bool SkipDword(CMsgRecordReader& reader) {
    uint32_t value = 0;
    return reader.ReadDword(value);
}

// A zero name length or a zero data length ends the record without a file; that is
// how the writer's format has always been read.
bool ReadFileRecord(CMsgRecordReader& reader, CMsgFileSink& sink, std::string& names,
                    std::string& sizes) {
    std::optional<std::string> name;
    if (!reader.ReadText(name)) return false;
    if (!name) return true;
    uint32_t length = 0;
    if (!reader.ReadDword(length)) return false;
    if (length == 0) return true;
    if (length > reader.Remaining()) return false;
    std::string safe;
    if (!MakeSafeFileName(*name, safe)) return reader.Skip(length);
    // A file the sink cannot take (a same-named file another program holds open, a name
    // the file system refuses) is left out with its data; the rest of the message is read.
    if (!sink.Create(safe)) return reader.Skip(length);
    bool written = false;
    if (!reader.CopyTo(length, sink, written)) {
        sink.Discard();
        return false;
    }
    if (!written) {
        sink.Discard();
        return true;
    }
    if (!sink.Finish()) return true;
    sizes += std::to_string(length);
    sizes += '\t';
    names += safe;
    names += '\t';
    return true;
}

}  // namespace

void AppendLegacyAddresses(const std::string& text, std::string& addresses) {
    size_t start = 0;
    for (size_t end = text.find(';'); end != std::string::npos; end = text.find(';', start)) {
        addresses.append(text, start, end - start);
        addresses += "; ";
        start = end + 1;
    }
}

bool ParseMsgProperties(CMsgRecordReader& reader, std::string& body, std::string& to, std::string& cc) {
    while (!reader.AtEnd()) {
        uint32_t tag = 0;
        if (!reader.ReadDword(tag)) return false;
        bool ok = false;
        switch (tag) {
        case MSGREC_BEGIN:
        case MSGREC_END: ok = true; break;
        case MSGREC_VERSION: ok = SkipDword(reader); break;
        case MSGREC_FIELDS:
        case MSGREC_KEYWORDS: ok = reader.SkipText(); break;
        case MSGREC_BODY: ok = ReadInto(reader, body); break;
        case MSGREC_TO: ok = ReadInto(reader, to); break;
        case MSGREC_CC: ok = ReadInto(reader, cc); break;
        default: break;
        }
        if (!ok) return false;
    }
    return true;
}

bool ParseLegacyProperties(CMsgRecordReader& reader, std::string& body, std::string& addresses) {
    while (!reader.AtEnd()) {
        uint32_t tag = 0;
        if (!reader.ReadDword(tag)) return false;
        bool ok = false;
        if (tag == kLegacyBegin || tag == kLegacyEnd) {
            ok = true;
        } else if (tag == kLegacyVersion) {
            ok = SkipDword(reader);
        } else if (tag == kLegacyBody) {
            ok = ReadInto(reader, body);
        } else if (tag == kLegacyTo || tag == kLegacyCc) {
            std::optional<std::string> text;
            ok = reader.ReadText(text);
            if (ok && text) AppendLegacyAddresses(*text, addresses);
        } else if (std::find(std::begin(kLegacyDroppedTexts), std::end(kLegacyDroppedTexts), tag) !=
                   std::end(kLegacyDroppedTexts)) {
            ok = reader.SkipText();
        }
        if (!ok) return false;
    }
    return true;
}

bool ParseMsgFiles(CMsgRecordReader& reader, CMsgFileSink& sink, std::string& names, std::string& sizes) {
    while (!reader.AtEnd()) {
        uint32_t tag = 0;
        if (!reader.ReadDword(tag)) return false;
        bool ok = false;
        switch (tag) {
        case MSGREC_BEGIN:
        case MSGREC_END: ok = true; break;
        case MSGREC_VERSION: ok = SkipDword(reader); break;
        case MSGREC_ATTACH:
        case MSGREC_INLINE: ok = ReadFileRecord(reader, sink, names, sizes); break;
        default: break;
        }
        if (!ok) return false;
    }
    return true;
}

bool ParseLegacyFiles(CMsgRecordReader& reader, CMsgFileSink& sink, std::string& names,
                      std::string& sizes) {
    while (!reader.AtEnd()) {
        uint32_t tag = 0;
        if (!reader.ReadDword(tag)) return false;
        bool ok = false;
        if (tag == kLegacyBegin || tag == kLegacyEnd) {
            ok = true;
        } else if (tag == kLegacyVersion) {
            ok = SkipDword(reader);
        } else if (tag == kLegacyAttach) {
            ok = ReadFileRecord(reader, sink, names, sizes);
        }
        if (!ok) return false;
    }
    return true;
}
