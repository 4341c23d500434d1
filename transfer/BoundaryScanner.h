// Watches a stream fed in pieces for one byte string: the multipart boundary inside a
// file that is being sent.
#pragma once

#include <cstddef>
#include <string>

class CBoundaryScanner {
public:
    explicit CBoundaryScanner(std::string needle);

    // Starts a new stream.
    void Reset();
    // Looks at the next piece; true once the needle has occurred since the last Reset,
    // also when it straddles pieces.
    bool Feed(const char* data, size_t size);
    bool Found() const { return m_found; }

private:
    std::string m_needle;
    std::string m_tail;  // the last needle length - 1 bytes fed
    bool m_found = false;
};
