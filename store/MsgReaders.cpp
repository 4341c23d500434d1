// The four readers of message files: properties and files of the current generation,
// properties and attachments of the legacy one.
#include "store/MsgReaders.h"

#include "attach/ListProperty.h"
#include "store/BodyText.h"
#include "store/FolderFileSink.h"
#include "store/MsgRecordTags.h"
#include "store/MsgStreamParsers.h"
#include "store/StreamByteSource.h"

#include <exception>
#include <new>

namespace {

// Opens the stream, reads it to its size with parse, releases it. A message file is
// untrusted: a text record may claim up to the stream's size, and running out of
// memory for it is a failed read, not an exception into the caller's window procedure.
template <class Parse>
BOOL ReadStream(CMsgStorage& storage, const char* streamName, bool missingIsEmpty, Parse parse) {
    try {
        fw::ComPtr<IStream> stream = storage.OpenStream(streamName);
        if (!stream) return missingIsEmpty && storage.m_hrLast == STG_E_FILENOTFOUND;
        STATSTG stat{};
        storage.m_hrLast = stream->Stat(&stat, STATFLAG_NONAME);
        if (FAILED(storage.m_hrLast)) return FALSE;
        CStreamByteSource source(storage, stream.get());
        CMsgRecordReader reader(source, stat.cbSize.QuadPart);
        return parse(reader) ? TRUE : FALSE;
    } catch (const std::bad_alloc&) {
        storage.m_hrLast = STG_E_INSUFFICIENTMEMORY;
        return FALSE;
    } catch (const std::exception&) {
        // A 32-bit string holds less than a 32-bit length can claim (std::length_error).
        storage.m_hrLast = E_UNEXPECTED;
        return FALSE;
    }
}

// The file readers: files the folder cannot take are left out and named in skipped.
template <class Parse>
BOOL ReadFiles(CMsgStorage& storage, const char* streamName, const char* folder, std::string& names,
               std::string& sizes, std::string* skipped, Parse parse) {
    // Without a folder the names would land in the root of the current drive.
    if (!folder || !*folder) {
        storage.m_hrLast = E_INVALIDARG;
        return FALSE;
    }
    return ReadStream(storage, streamName, true, [&](CMsgRecordReader& reader) {
        CFolderFileSink sink(folder);
        bool read = parse(reader, sink, names, sizes);
        if (skipped) *skipped += sink.Failed();
        return read;
    });
}

}  // namespace

BOOL ReadMsgProperties(CMsgStorage& storage, std::string& body, std::string& to, std::string& cc) {
    return ReadStream(storage, kMsgPropertyStream, false,
                      [&](CMsgRecordReader& reader) { return ParseMsgProperties(reader, body, to, cc); });
}

BOOL ReadLegacyProperties(CMsgStorage& storage, std::string& body, std::string& addresses, std::string&) {
    return ReadStream(storage, kLegacyPropertyStream, false,
                      [&](CMsgRecordReader& reader) { return ParseLegacyProperties(reader, body, addresses); });
}

BOOL ReadMsgFiles(CMsgStorage& storage, const char* streamName, const char* folder, std::string& names,
                  std::string& sizes, std::string* skipped) {
    return ReadFiles(storage, streamName, folder, names, sizes, skipped, ParseMsgFiles);
}

BOOL ReadLegacyFiles(CMsgStorage& storage, const char* streamName, const char* folder, std::string& names,
                     std::string& sizes, std::string* skipped) {
    return ReadFiles(storage, streamName, folder, names, sizes, skipped, ParseLegacyFiles);
}

BOOL ReadMsgIntoFolder(CMsgStorage& storage, const std::string& folder, std::string& body, std::string& to,
                       std::string& cc, std::vector<std::string>& attachments, std::string* skipped) try {
    std::string names, sizes;
    if (!ReadMsgProperties(storage, body, to, cc) ||
        !ReadMsgFiles(storage, "nc_local_inline", folder.c_str(), names, sizes, skipped))
        return FALSE;
    // The body's image references point at the extracted images from now on.
    std::vector<TextReplacement> images;
    for (const std::string& name : TabTerminatedNames(names)) images.push_back({name, folder + "\\" + name});
    body = ReplaceEach(body, images);
    names.clear();
    sizes.clear();
    if (!ReadMsgFiles(storage, "nc_local_attach", folder.c_str(), names, sizes, skipped)) return FALSE;
    for (const std::string& name : TabTerminatedNames(names)) attachments.push_back(folder + "\\" + name);
    return TRUE;
} catch (const std::bad_alloc&) {
    storage.m_hrLast = STG_E_INSUFFICIENTMEMORY;
    return FALSE;
}
