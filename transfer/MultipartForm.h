// The parts of an upload form and their multipart/form-data encoding (RFC 7578).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct FormPart {
    bool isFile = false;
    std::string name;
    std::string value;  // the text of a text part, the local path of a file part
};

// One piece of an encoded body: literal bytes, or the whole content of one file part.
struct BodySegment {
    std::string bytes;
    int filePart = -1;  // index into the form's parts when the segment is a file's content
    uint64_t fileSize = 0;
};

class CMultipartForm {
public:
    static constexpr size_t kBoundaryRandomBytes = 16;

    void AddField(const std::string& name, const std::string& value);
    void AddFile(const std::string& name, const std::string& localPath);
    void RemoveAll() { m_parts.clear(); }
    const std::vector<FormPart>& Parts() const { return m_parts; }

    // Lays the body out for one boundary, parts in the order they were added. fileSizes
    // holds one entry per part (text parts' entries are ignored). Returns false, laying
    // out nothing, when the boundary occurs in a name, a file name or a text value; file
    // contents are checked while they are sent (CBoundaryScanner).
    [[nodiscard]] bool Layout(const std::string& boundary, const std::vector<uint64_t>& fileSizes,
                              std::vector<BodySegment>* segments) const;

    static uint64_t ContentLength(const std::vector<BodySegment>& segments);
    // The value of the request's Content-Type header.
    static std::string ContentType(const std::string& boundary);
    // A boundary made of a fixed prefix and the random bytes in hex.
    static std::string MakeBoundary(const uint8_t (&random)[kBoundaryRandomBytes]);
    // A name or file name inside double quotes, with '"', CR and LF written as %22, %0D
    // and %0A as browsers write them.
    static std::string QuoteParameter(std::string_view text);
    // The file name after the last '\', '/' or drive colon: what the server is told.
    static std::string BareFileName(std::string_view path);
    // The Content-Type of a file part, by extension; application/octet-stream otherwise.
    static const char* FileContentType(std::string_view fileName);

private:
    std::vector<FormPart> m_parts;
};
