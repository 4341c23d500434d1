// Entries of the allow-list, one a line, as an administrator (or a mistake) writes them:
// whatever parses admits only hosts that the entries themselves spell out.
#include "control/OriginList.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::string data(reinterpret_cast<const char*>(bytes), size);
    COriginList list;
    for (size_t start = 0, end; start <= data.size(); start = end + 1) {
        end = data.find('\n', start);
        if (end == std::string::npos) end = data.size();
        list.Add(std::string_view(data).substr(start, end - start));
    }
    for (char& c : data) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const char* host : {"evil.test", "mail.example.kr", "a.example.kr", "127.0.0.1"}) {
        // The host itself, or a wildcard over what follows one of its dots.
        std::string name(host);
        bool spelled = data.find(name) != std::string::npos;
        for (size_t dot = name.find('.'); dot != std::string::npos; dot = name.find('.', dot + 1))
            spelled = spelled || data.find("*" + name.substr(dot)) != std::string::npos;
        for (unsigned port : {80u, 443u, 8080u}) {
            if ((list.Allows({"http", host, port}) || list.Allows({"https", host, port})) && !spelled) std::abort();
        }
    }
    return 0;
}
