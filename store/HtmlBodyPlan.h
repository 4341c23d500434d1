// The HTML save of a message: which inline images of the server's page are fetched, under
// which names in the chosen folder, and the page with its references pointed at them.
// The page, the key list and every name in them come from the server.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The server page of the message's body: formsURL + "htmldownload.asp?dataurl=" + dataurl
// for type "", else "htmldownload" + type + ".asp" with dataurl, posturl and clsurl; the
// values go in as they are.
std::string HtmlBodyUrl(const std::string& formsURL, const std::string& type, const std::string& dataURL,
                        const std::string& postURL, const std::string& clsURL);

// The page as its lines make it: each line, without its LF or CR LF, followed by CR LF.
std::string HtmlPageLines(const std::string& response);

struct HtmlImage {
    std::string url;        // the inlinekeylist item it is fetched from
    std::string reference;  // the page's text for it, which the rewrite replaces
    std::string fileName;   // a bare name in the folder, claimed for it
};

// What claiming a file name in the folder found.
enum class NameClaim {
    kClaimed,  // the file was made, empty, and is the image's
    kTaken,    // a file of that name is there: try another
    kFailed,   // no file of any such name can be made there
};
using ClaimName = std::function<NameClaim(const std::string& fileName)>;

// The images to fetch, one per distinct reference of the page's "<img" sources
// (InlineImageSources, a closing quote left at the end dropped), in page order. A source
// that holds "http://" or "https://" is a web image and stays. A key's tail is the text
// after its last "/"; empty tails match nothing.
// - type "" or "bbs": a source is head ":" name; the first key whose lowered tail occurs
//   in head gives it, saved under name.
// - any other type: the first key whose tail occurs in the source gives it, saved under
//   the source when the two are equal ignoring case, else under the tail.
// The name is made bare (MakeSafeFileName) and claimed, numbered ("x-1.gif") while taken.
// Sources without a key, without a usable name or without a name to claim are left out.
std::vector<HtmlImage> PlanHtmlImages(const std::string& page, const std::string& inlineKeyList,
                                      const std::string& type, const ClaimName& claim);

// The page with every occurrence of each fetched image's reference replaced by folder "\"
// fileName, ignoring the case of ASCII letters (references are found in lowered text, and
// each fetched file is one the page names); the rest of the page stays byte for byte.
std::string RewriteHtmlImages(const std::string& page, const std::vector<HtmlImage>& fetched,
                              const std::string& folder);
