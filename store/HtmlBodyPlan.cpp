// The HTML save of a message: the images to fetch and the page pointed at them.
#include "store/HtmlBodyPlan.h"

#include "attach/Cp949Text.h"
#include "attach/ListProperty.h"
#include "download/OpenRules.h"
#include "store/BodyText.h"
#include "store/LocalSaveNames.h"
#include "store/MsgDownloadPlan.h"
#include "store/SafeFileName.h"

#include <set>

namespace {

bool ColonRule(const std::string& type) { return type.empty() || type == "bbs"; }

struct ImageKey {
    std::string url;
    std::string tail;
};

std::vector<ImageKey> ReadKeys(const std::string& inlineKeyList, bool lowerTails) {
    std::vector<ImageKey> keys;
    for (const std::string& item : SplitTabList(inlineKeyList)) {
        std::string tail = item.substr(item.rfind('/') + 1);  // the whole item when no "/"
        if (tail.empty()) continue;  // it would match every image
        keys.push_back({item, lowerTails ? LowerAsciiCp949(tail) : tail});
    }
    return keys;
}

// The reference a source stands for: a tag whose src value runs to its ">" keeps its
// closing quote in the source; the page's reference is the text before it.
std::string ReferenceOf(std::string source) {
    if (source.size() > 1 && (source.back() == '"' || source.back() == '\'')) source.pop_back();
    return source;
}

// The first free numbered form of name, claimed; empty when none can be had.
std::string ClaimFree(const std::string& name, std::set<std::string>& planned, const ClaimName& claim) {
    for (unsigned n = 0; n <= kMaxFileNumber; ++n) {
        std::string candidate = NumberedFileName(name, n);
        // Names of one folder differ in more than case.
        if (planned.count(LowerAsciiCp949(candidate))) continue;
        switch (claim(candidate)) {
        case NameClaim::kClaimed:
            planned.insert(LowerAsciiCp949(candidate));
            return candidate;
        case NameClaim::kTaken:
            continue;
        case NameClaim::kFailed:
            return std::string();
        }
    }
    return std::string();
}

}  // namespace

std::string HtmlBodyUrl(const std::string& formsURL, const std::string& type, const std::string& dataURL,
                        const std::string& postURL, const std::string& clsURL) {
    if (type.empty()) return formsURL + "htmldownload.asp?dataurl=" + dataURL;
    return formsURL + "htmldownload" + type + ".asp?dataurl=" + dataURL + "&posturl=" + postURL + "&clsurl=" + clsURL;
}

std::string HtmlPageLines(const std::string& response) {
    std::string page;
    page.reserve(response.size() + response.size() / 32);
    for (std::size_t start = 0; start < response.size();) {
        std::size_t lf = response.find('\n', start);
        std::size_t end = lf == std::string::npos ? response.size() : lf;
        std::size_t cut = end > start && response[end - 1] == '\r' ? end - 1 : end;
        page.append(response, start, cut - start).append("\r\n");
        start = end + 1;
    }
    return page;
}

std::vector<HtmlImage> PlanHtmlImages(const std::string& page, const std::string& inlineKeyList,
                                      const std::string& type, const ClaimName& claim) {
    const bool colonRule = ColonRule(type);
    const std::vector<ImageKey> keys = ReadKeys(inlineKeyList, colonRule);
    std::vector<HtmlImage> images;
    if (keys.empty()) return images;
    std::set<std::string> seen, planned;
    for (const std::string& source : InlineImageSources(page)) {
        const std::string reference = ReferenceOf(source);
        if (reference.find("http://") != std::string::npos || reference.find("https://") != std::string::npos) continue;
        if (!seen.insert(reference).second) continue;  // one rewrite covers every occurrence

        std::string name;
        const ImageKey* key = nullptr;
        if (colonRule) {
            std::size_t colon = reference.find(':');
            std::string head = colon == std::string::npos ? std::string() : reference.substr(0, colon);
            name = colon == std::string::npos ? reference : reference.substr(colon + 1);
            for (const ImageKey& k : keys) {
                if (head.find(k.tail) != std::string::npos) {
                    key = &k;
                    break;
                }
            }
        } else {
            for (const ImageKey& k : keys) {
                if (reference.find(k.tail) != std::string::npos) {
                    key = &k;
                    break;
                }
            }
            if (key) name = EqualNoCaseCp949(reference, key->tail) ? reference : key->tail;
        }
        std::string safe;
        if (!key || !MakeSafeFileName(name, safe)) continue;
        std::string fileName = ClaimFree(safe, planned, claim);
        if (!fileName.empty()) images.push_back({key->url, reference, std::move(fileName)});
    }
    return images;
}

std::string RewriteHtmlImages(const std::string& page, const std::vector<HtmlImage>& fetched,
                              const std::string& folder) {
    std::vector<TextReplacement> replacements;
    for (const HtmlImage& image : fetched) replacements.push_back({image.reference, JoinFolder(folder, image.fileName)});
    return ReplaceEach(page, replacements, true);
}
