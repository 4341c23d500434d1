// Rewriting message bodies in one pass.
#include "store/BodyText.h"

#include "attach/Cp949Text.h"

#include <algorithm>
#include <array>

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The length of text's characters from pos that spell what, or 0.
std::size_t MatchAt(const std::string& text, std::size_t pos, const std::string& what, bool ignoreCase) {
    if (what.size() > text.size() - pos) return 0;
    // Bytes below 0x81 are characters of their own, so an all-ASCII what matches byte
    // for byte; only a what with Korean in it needs the walk by characters.
    std::size_t i = 0;
    while (i < what.size() && static_cast<unsigned char>(what[i]) < 0x81) {
        if (ignoreCase ? Fold(text[pos + i]) != Fold(what[i]) : text[pos + i] != what[i]) return 0;
        ++i;
    }
    std::size_t at = pos + i;
    while (i < what.size()) {
        if (at >= text.size()) return 0;
        std::size_t len = Cp949CharLength(text, at);
        if (i + len > what.size()) return 0;
        if (len == 2) {
            if (text[at] != what[i] || text[at + 1] != what[i + 1]) return 0;
        } else if (ignoreCase ? Fold(text[at]) != Fold(what[i]) : text[at] != what[i]) {
            return 0;
        }
        at += len;
        i += len;
    }
    return at - pos;
}

}  // namespace

std::string ReplaceEach(const std::string& text, const std::vector<TextReplacement>& replacements, bool ignoreCase) {
    // Longest first, so that "a.gif" does not take the front of "a.gif.png".
    std::vector<const TextReplacement*> order;
    std::array<bool, 256> starts{};
    for (const TextReplacement& r : replacements) {
        if (r.what.empty()) continue;
        order.push_back(&r);
        const unsigned char first = static_cast<unsigned char>(r.what[0]);
        starts[first] = true;
        if (ignoreCase) {
            starts[static_cast<unsigned char>(Fold(static_cast<char>(first)))] = true;
            if (first >= 'a' && first <= 'z') starts[first - 'a' + 'A'] = true;
        }
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const TextReplacement* a, const TextReplacement* b) { return a->what.size() > b->what.size(); });
    if (order.empty()) return text;

    std::string out;
    out.reserve(text.size() + text.size() / 4);  // text files grow by their escapes
    std::size_t copied = 0;
    const std::size_t size = text.size();
    for (std::size_t pos = 0; pos < size;) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        // Most bytes start no match: step over them a character at a time, inline.
        if (!starts[c]) {
            pos += c >= 0x81 && pos + 1 < size && IsCp949TrailByte(static_cast<unsigned char>(text[pos + 1])) ? 2 : 1;
            continue;
        }
        const TextReplacement* hit = nullptr;
        std::size_t matched = 0;
        for (const TextReplacement* r : order) {
            if ((matched = MatchAt(text, pos, r->what, ignoreCase)) != 0) {
                hit = r;
                break;
            }
        }
        if (!hit) {
            pos += Cp949CharLength(text, pos);
            continue;
        }
        out.append(text, copied, pos - copied);
        out += hit->with;
        pos += matched;
        copied = pos;
    }
    out.append(text, copied, std::string::npos);
    return out;
}

std::string TextFileBody(const std::string& text, bool asText) {
    if (!asText) return ReplaceEach(text, {{"\"", "'"}});
    return ReplaceEach(text, {{"\"", "'"}, {"&", "&amp;"}, {"<", "&lt;"}, {">", "&gt;"}, {"\r\n", "<BR>"}});
}
