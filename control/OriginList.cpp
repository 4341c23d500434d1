// The sites an administrator allows, and the origins they admit.
#include "control/OriginList.h"

namespace {

constexpr unsigned kMaxPort = 65535;
constexpr size_t kMaxHost = 253;
constexpr size_t kMaxLabel = 63;

unsigned DefaultPort(const std::string& scheme) {
    if (scheme == "http") return 80;
    if (scheme == "https") return 443;
    return 0;
}

// ASCII only: a host is compared byte for byte after this, whatever the code page.
std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Lower-case labels of letters, digits, '-' and '_', none empty. Anything else (an
// escaped dot, a user name, a bracketed address, a trailing dot) is no host we match.
bool IsHostName(const std::string& host) {
    if (host.empty() || host.size() > kMaxHost) return false;
    size_t label = 0;
    for (char c : host) {
        if (c == '.') {
            if (label == 0) return false;
            label = 0;
            continue;
        }
        bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!ok || ++label > kMaxLabel) return false;
    }
    return label > 0;
}

bool ParsePort(std::string_view text, unsigned* port) {
    if (text.empty() || text.size() > 5) return false;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > kMaxPort) return false;
    *port = value;
    return true;
}

}  // namespace

std::string OriginText(const Origin& origin) {
    std::string text = origin.scheme + "://" + origin.host;
    if (origin.port != 0 && origin.port != DefaultPort(Lower(origin.scheme))) text += ":" + std::to_string(origin.port);
    return text;
}

bool COriginList::Add(std::string_view text) {
    Entry entry;
    if (!Parse(text, &entry)) return false;
    m_entries.push_back(std::move(entry));
    return true;
}

bool COriginList::Parse(std::string_view text, Entry* entry) {
    text = Trim(text);
    size_t separator = text.find("://");
    if (separator == std::string_view::npos) return false;
    entry->scheme = Lower(text.substr(0, separator));
    if (entry->scheme != "http" && entry->scheme != "https") return false;
    std::string_view rest = text.substr(separator + 3);
    if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);  // "https://host/" as typed

    std::string_view host = rest;
    std::string_view port;
    size_t colon = rest.find(':');
    bool hasPort = colon != std::string_view::npos;
    if (hasPort) {
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
    }
    entry->subdomains = host.size() >= 2 && host.compare(0, 2, "*.") == 0;
    if (entry->subdomains) host.remove_prefix(2);
    entry->host = Lower(host);
    if (!IsHostName(entry->host)) return false;

    if (!hasPort) entry->port = DefaultPort(entry->scheme);
    else if (port == "*") entry->port = kAnyPort;
    else if (!ParsePort(port, &entry->port)) return false;
    return true;
}

bool COriginList::Matches(const Entry& entry, const Origin& origin, const std::string& host) {
    if (Lower(origin.scheme) != entry.scheme) return false;
    if (entry.port != kAnyPort && entry.port != origin.port) return false;
    if (!entry.subdomains) return host == entry.host;
    // host is a valid name, so what stands left of ".domain" is one or more whole labels.
    return host.size() > entry.host.size() + 1 &&
           host.compare(host.size() - entry.host.size() - 1, std::string::npos, "." + entry.host) == 0;
}

bool COriginList::Allows(const Origin& origin) const {
    std::string host = Lower(origin.host);
    if (!IsHostName(host) || origin.port == 0 || origin.port > kMaxPort) return false;
    for (const Entry& entry : m_entries) {
        if (Matches(entry, origin, host)) return true;
    }
    return false;
}
