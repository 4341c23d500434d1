// The sites an administrator allows: entries such as "https://mail.example.kr",
// "https://*.example.kr" or "http://127.0.0.1:*", and the origins they admit. The caller
// cracks URLs with the platform's cracker first, so the host compared here is the host
// that a request would go to.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Where a URL points, as the URL cracker split it.
struct Origin {
    std::string scheme;  // as the URL spells it; only "http" and "https" can be allowed
    std::string host;
    unsigned port = 0;   // explicit, the scheme's default already filled in
};

// "scheme://host" with ":port" when it is not the scheme's default: the origin as a
// message names it.
std::string OriginText(const Origin& origin);

class COriginList {
public:
    static constexpr unsigned kAnyPort = 0;

    // Adds one entry; an entry that does not parse is left out (false), so a typing
    // mistake never widens the list.
    bool Add(std::string_view entry);
    bool empty() const { return m_entries.empty(); }
    bool Allows(const Origin& origin) const;

private:
    struct Entry {
        std::string scheme;      // "http" or "https"
        std::string host;        // lower case; for "*.domain" the domain
        bool subdomains = false; // "*.": one or more whole labels left of host, not host itself
        unsigned port = kAnyPort;
    };
    static bool Parse(std::string_view text, Entry* entry);
    static bool Matches(const Entry& entry, const Origin& origin, const std::string& host);

    std::vector<Entry> m_entries;
};
