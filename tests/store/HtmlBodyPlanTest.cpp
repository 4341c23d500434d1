// The HTML save's images: which are fetched under which names, and the page pointed at them.
#include "store/HtmlBodyPlan.h"

#include <gtest/gtest.h>

#include <set>

namespace {

struct Planned {
    std::vector<HtmlImage> images;
    std::vector<std::string> claims;  // every name asked for, in order
};

Planned Plan(const std::string& page, const std::string& keys, const std::string& type,
             const std::set<std::string>& present = {}) {
    Planned planned;
    planned.images = PlanHtmlImages(page, keys, type, [&](const std::string& name) {
        planned.claims.push_back(name);
        return present.count(name) ? NameClaim::kTaken : NameClaim::kClaimed;
    });
    return planned;
}

std::string Describe(const std::vector<HtmlImage>& images) {
    std::string text;
    for (const HtmlImage& i : images) text += i.reference + ">" + i.fileName + "<" + i.url + ";";
    return text;
}

TEST(PlanHtmlImages, ModesKeysAndNames) {
    const std::string k = "http://s/img/";
    struct Case {
        std::string page, keys, type;
        const char* images;
    } cases[] = {
        // Any other type: the key whose tail occurs in the source; saved under the tail
        // unless the two are the same name.
        {"<img src=\"A.gif\" w=1>", k + "a.gif", "mail", "a.gif>a.gif<http://s/img/a.gif;"},
        {"<img src=\"cid:a.gif\" w=1>", k + "A.gif\t" + k + "a.gif", "mail", "cid:a.gif>a.gif<http://s/img/a.gif;"},
        // A src with nothing after it: the closing quote is not part of the reference.
        {"<img src=\"a.gif\">", k + "a.gif", "mail", "a.gif>a.gif<http://s/img/a.gif;"},
        // Web images stay, whatever the SSL setting; so do sources without a key.
        {"<img src=\"http://x/a.gif\" b=0><img src=\"https://x/a.gif\" b=0><img src=\"b.gif\" w>", k + "a.gif", "mail", ""},
        // "bbs" and "": head:name, fetched from the key whose lowered tail is in head.
        {"<IMG SRC=\"K12.gif:Photo.gif\" w>", "http://s/K12", "bbs", "k12.gif:photo.gif>photo.gif<http://s/K12;"},
        {"<img src=\"photo.gif\" w>", k + "photo.gif", "", ""},
        // Empty tails and empty names fetch nothing.
        {"<img src=\"a.gif\" w><img src=\"k:\" w><img src=\"\" w>", "http://s/img/\tk", "", ""},
        // One fetch per reference, however often the page shows it.
        {"<img src=\"a.gif\" w><img src=\"a.gif\" w>", k + "a.gif", "mail", "a.gif>a.gif<http://s/img/a.gif;"},
    };
    for (const Case& c : cases) EXPECT_EQ(Describe(Plan(c.page, c.keys, c.type).images), c.images) << c.page;
}

TEST(PlanHtmlImages, TakenNamesAreNumberedAndThePlanNeverRepeatsOne) {
    Planned p = Plan("<img src=\"a.gif\" w><img src=\"x/A.gif\" w>", "http://s/a.gif", "mail", {"a.gif", "a-1.gif"});
    EXPECT_EQ(Describe(p.images), "a.gif>a-2.gif<http://s/a.gif;x/a.gif>a-3.gif<http://s/a.gif;");
    EXPECT_EQ(p.claims, (std::vector<std::string>{"a.gif", "a-1.gif", "a-2.gif", "a.gif", "a-1.gif", "a-3.gif"}));

    std::vector<HtmlImage> none = PlanHtmlImages("<img src=\"a.gif\" w>", "http://s/a.gif", "mail",
                                                 [](const std::string&) { return NameClaim::kFailed; });
    EXPECT_TRUE(none.empty());
}

TEST(RewriteHtmlImages, ReplacesEveryOccurrenceByTheLocalPath) {
    // "갂" is 81 41: its trail byte looks like "A" and is neither lowered nor matched.
    const std::string korean = "\x81\x41\x81Z";
    const std::vector<HtmlImage> fetched = {{"u", "k12.gif:photo.gif", "photo.gif"}};
    EXPECT_EQ(RewriteHtmlImages(korean + "<IMG SRC=\"K12.GIF:Photo.gif\"> k12.gif:photo.gif", fetched, "C:\\d"),
              korean + "<IMG SRC=\"C:\\d\\photo.gif\"> C:\\d\\photo.gif");
    EXPECT_EQ(RewriteHtmlImages("<img src=\"a.gif\">", {{"u", "a.gif", "a-1.gif"}}, "C:\\"), "<img src=\"C:\\a-1.gif\">");
}

}  // namespace
