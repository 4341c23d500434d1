// The parts of an upload form and their multipart/form-data encoding (RFC 7578).
#include "transfer/MultipartForm.h"

#include <cctype>

namespace {

const char kBoundaryPrefix[] = "----NvAttFormBoundary";

struct ExtensionType {
    const char* extension;
    const char* type;
};

// The types the groupware's own pages send for the attachments users add most.
const ExtensionType kTypes[] = {
    {"txt", "text/plain"},
    {"htm", "text/html"},
    {"html", "text/html"},
    {"xml", "text/xml"},
    {"csv", "text/csv"},
    {"eml", "message/rfc822"},
    {"jpg", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"png", "image/png"},
    {"gif", "image/gif"},
    {"bmp", "image/bmp"},
    {"tif", "image/tiff"},
    {"tiff", "image/tiff"},
    {"pdf", "application/pdf"},
    {"zip", "application/zip"},
    {"hwp", "application/x-hwp"},
    {"doc", "application/msword"},
    {"xls", "application/vnd.ms-excel"},
    {"ppt", "application/vnd.ms-powerpoint"},
    {"docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
    {"xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
    {"pptx", "application/vnd.openxmlformats-officedocument.presentationml.presentation"},
};

bool EqualsNoCase(std::string_view a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(b[i]))
            return false;
    }
    return i == a.size() && !b[i];
}

}  // namespace

void CMultipartForm::AddField(const std::string& name, const std::string& value) {
    m_parts.push_back(FormPart{false, name, value});
}

void CMultipartForm::AddFile(const std::string& name, const std::string& localPath) {
    m_parts.push_back(FormPart{true, name, localPath});
}

std::string CMultipartForm::QuoteParameter(std::string_view text) {
    // CP949 trail bytes never take the values of '"', CR or LF, so a byte-wise pass
    // cannot split a Korean character.
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '"': out += "%22"; break;
        case '\r': out += "%0D"; break;
        case '\n': out += "%0A"; break;
        default: out += c; break;
        }
    }
    out += '"';
    return out;
}

std::string CMultipartForm::BareFileName(std::string_view path) {
    // '\' (0x5C) is no CP949 trail byte, unlike in Shift-JIS, so it always separates.
    size_t cut = path.find_last_of("\\/:");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

const char* CMultipartForm::FileContentType(std::string_view fileName) {
    size_t dot = fileName.rfind('.');
    if (dot != std::string_view::npos) {
        std::string_view extension = fileName.substr(dot + 1);
        for (const ExtensionType& t : kTypes) {
            if (EqualsNoCase(extension, t.extension)) return t.type;
        }
    }
    return "application/octet-stream";
}

std::string CMultipartForm::MakeBoundary(const uint8_t (&random)[kBoundaryRandomBytes]) {
    static const char kDigits[] = "0123456789abcdef";
    std::string boundary = kBoundaryPrefix;
    for (uint8_t b : random) {
        boundary += kDigits[b >> 4];
        boundary += kDigits[b & 0x0F];
    }
    return boundary;
}

std::string CMultipartForm::ContentType(const std::string& boundary) {
    return "multipart/form-data; boundary=" + boundary;
}

bool CMultipartForm::Layout(const std::string& boundary, const std::vector<uint64_t>& fileSizes,
                            std::vector<BodySegment>* segments) const {
    segments->clear();
    if (boundary.empty() || fileSizes.size() != m_parts.size()) return false;

    std::vector<BodySegment> out;
    std::string literal;
    for (size_t i = 0; i < m_parts.size(); ++i) {
        const FormPart& part = m_parts[i];
        std::string name = QuoteParameter(part.name);
        if (name.find(boundary) != std::string::npos) return false;
        literal += "--" + boundary + "\r\nContent-Disposition: form-data; name=" + name;
        if (!part.isFile) {
            if (part.value.find(boundary) != std::string::npos) return false;
            literal += "\r\n\r\n" + part.value + "\r\n";
            continue;
        }
        std::string bare = BareFileName(part.value);
        std::string fileName = QuoteParameter(bare);
        if (fileName.find(boundary) != std::string::npos) return false;
        literal += "; filename=" + fileName + "\r\nContent-Type: " + FileContentType(bare) +
                   "\r\n\r\n";
        out.push_back(BodySegment{std::move(literal), -1, 0});
        literal.clear();
        out.push_back(BodySegment{std::string(), static_cast<int>(i), fileSizes[i]});
        literal = "\r\n";
    }
    literal += "--" + boundary + "--\r\n";
    out.push_back(BodySegment{std::move(literal), -1, 0});
    *segments = std::move(out);
    return true;
}

uint64_t CMultipartForm::ContentLength(const std::vector<BodySegment>& segments) {
    uint64_t total = 0;
    for (const BodySegment& s : segments) total += s.filePart >= 0 ? s.fileSize : s.bytes.size();
    return total;
}
