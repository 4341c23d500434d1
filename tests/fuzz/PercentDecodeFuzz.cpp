// Paths that script hands to DoFile, percent-encoded.
#include "transfer/UrlCoding.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string data(reinterpret_cast<const char*>(bytes), size);

    const std::string decoded = PercentDecode(data);
    Check(decoded.size() <= data.size());
    if (data.find('%') == std::string::npos) Check(decoded == data);
    // A zero byte appears only where the input had one.
    Check((decoded.find('\0') == std::string::npos) == (data.find('\0') == std::string::npos));

    const std::string encoded = UrlEncodeQueryValue(data);
    for (char c : encoded)
        Check((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '%');
    if (data.find('\0') == std::string::npos) Check(PercentDecode(encoded) == data);
    return 0;
}
