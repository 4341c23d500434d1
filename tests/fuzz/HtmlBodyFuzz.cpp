// The HTML save's plan and rewrite over a hostile page and key list: every image is saved
// under a bare name of its own in the folder, and the rewrite keeps up with the page's size.
#include "attach/Cp949Text.h"
#include "store/BodyText.h"
#include "store/HtmlBodyPlan.h"
#include "store/SafeFileName.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string data(reinterpret_cast<const char*>(bytes), size);
    // page, a DEL, the key list; the first byte picks the type.
    const std::size_t del = data.find('\x7f');
    const std::string page = data.substr(0, del);
    const std::string keys = del == std::string::npos ? data : data.substr(del + 1);
    const char* type = !data.empty() && (data[0] & 1) ? "mail" : (!data.empty() && (data[0] & 2) ? "bbs" : "");

    std::set<std::string> taken = {"x.gif", "a.gif"}, claimed;
    const std::vector<HtmlImage> images = PlanHtmlImages(page, keys, type, [&](const std::string& name) {
        Check(!claimed.count(LowerAsciiCp949(name)));  // never asks again for a name it holds
        if (taken.count(name)) return NameClaim::kTaken;
        claimed.insert(LowerAsciiCp949(name));
        return NameClaim::kClaimed;
    });
    std::set<std::string> references;
    for (const HtmlImage& image : images) {
        std::string safe;
        Check(MakeSafeFileName(image.fileName, safe) && safe == image.fileName);
        Check(!taken.count(image.fileName) && !image.url.empty() && !image.reference.empty());
        Check(references.insert(image.reference).second);
    }
    if (images.empty()) Check(RewriteHtmlImages(page, images, "C:\\out") == page);

    if (!data.empty()) {
        std::string large;
        while (large.size() < (1u << 16)) large += data;
        Check(TextFileBody(large, true).size() >= large.size());  // nothing shrinks
        RewriteHtmlImages(large, images, "C:\\out");
    }
    return 0;
}
