// Watches a stream fed in pieces for one byte string: the multipart boundary inside a
// file that is being sent.
#include "transfer/BoundaryScanner.h"

#include <algorithm>
#include <functional>

CBoundaryScanner::CBoundaryScanner(std::string needle) : m_needle(std::move(needle)) {}

void CBoundaryScanner::Reset() {
    m_tail.clear();
    m_found = false;
}

bool CBoundaryScanner::Feed(const char* data, size_t size) {
    if (m_found || m_needle.empty() || size == 0) return m_found;
    const size_t keep = m_needle.size() - 1;

    // An occurrence that starts in earlier pieces ends within the first keep bytes.
    if (!m_tail.empty()) {
        std::string seam = m_tail;
        seam.append(data, std::min(size, keep));
        if (seam.find(m_needle) != std::string::npos) return m_found = true;
    }
    // Boyer-Moore-Horspool skips most bytes: the scan costs little next to the disk and
    // the network for a long file.
    std::boyer_moore_horspool_searcher searcher(m_needle.begin(), m_needle.end());
    if (std::search(data, data + size, searcher) != data + size) return m_found = true;

    if (size >= keep) {
        m_tail.assign(data + size - keep, keep);
    } else {
        m_tail.append(data, size);
        if (m_tail.size() > keep) m_tail.erase(0, m_tail.size() - keep);
    }
    return false;
}
