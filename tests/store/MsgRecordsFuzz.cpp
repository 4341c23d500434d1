// Fuzz target: the four message file readers over the same untrusted bytes. Beyond not
// crashing, every extracted name must be a safe bare name and the lists must agree with
// what was extracted.
#include "store/MemoryByteSource.h"
#include "store/MsgStreamParsers.h"
#include "tests/store/MemoryFileSink.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Independent of SafeFileName's own rules: what Windows must never be handed.
bool IsSafeBareName(const std::string& name) {
    if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == '\\' || c == '/' || c == ':' || c == '<' || c == '>' || c == '"' || c == '|' ||
            c == '?' || c == '*')
            return false;
    }
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = Upper(c);
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices) {
        if (base == device) return false;
    }
    bool numbered = base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
                    base[3] >= '0' && base[3] <= '9';
    return !numbered;
}

size_t CountTabs(const std::string& list) {
    size_t n = 0;
    for (char c : list) n += c == '\t';
    return n;
}

template <class Parse>
void CheckFiles(const uint8_t* data, size_t size, Parse parse) {
    CMemoryByteSource source(data, size);
    CMsgRecordReader reader(source, size);
    CMemoryFileSink sink;
    std::string names, sizes;
    bool ok = parse(reader, sink, names, sizes);
    Require(reader.Consumed() <= size && (!ok || reader.AtEnd()));
    for (const std::string& name : sink.m_created) Require(IsSafeBareName(name));
    // Every listed file was extracted and finished; sizes add up to no more than the input.
    Require(CountTabs(names) == CountTabs(sizes));
    Require(CountTabs(names) <= sink.m_created.size());
    uint64_t total = 0;
    for (size_t start = 0, end; (end = sizes.find('\t', start)) != std::string::npos; start = end + 1) {
        total += std::strtoull(sizes.substr(start, end - start).c_str(), nullptr, 10);
    }
    Require(total <= size);
    for (size_t start = 0, end; (end = names.find('\t', start)) != std::string::npos; start = end + 1) {
        Require(sink.m_files.count(names.substr(start, end - start)) == 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        CMemoryByteSource source(data, size);
        CMsgRecordReader reader(source, size);
        std::string body, to, cc;
        bool ok = ParseMsgProperties(reader, body, to, cc);
        Require(!ok || reader.AtEnd());
        Require(body.size() + to.size() + cc.size() <= size);
        Require(body.find('\0') == std::string::npos && to.find('\0') == std::string::npos);
    }
    {
        CMemoryByteSource source(data, size);
        CMsgRecordReader reader(source, size);
        std::string body, addresses;
        bool ok = ParseLegacyProperties(reader, body, addresses);
        Require(!ok || reader.AtEnd());
        Require(body.size() <= size && addresses.size() <= 2 * size);
    }
    {  // A stream that claims 4 GB: nothing is allocated for bytes that never arrive.
        CMemoryByteSource source(data, size);
        CMsgRecordReader reader(source, 0xFFFFFFFFu);
        std::string body, to, cc;
        Require(!ParseMsgProperties(reader, body, to, cc));
    }
    CheckFiles(data, size, ParseMsgFiles);
    CheckFiles(data, size, ParseLegacyFiles);
    return 0;
}
