// Which files the message file writer downloads for a message: the inline images that
// the body refers to and that inlinekeylist has a URL for, and the attachments of
// attachlist with their URLs from recordkeylist. Every input comes from the server.
#pragma once

#include <string>
#include <vector>

struct MsgDownload {
    std::string url;
    std::string name;      // the record's name in the message file; never empty
    std::string sizeHint;  // attachments only: the decimal size from attachSize
};

// The image sources of the body's "<img" tags, in order: the tag's text after "src=" and
// one more character (the opening quote), cut before the character that precedes its
// first blank or backspace (the closing quote). Tags and "src=" are found in any case;
// the sources are lowered (LowerAsciiCp949). Empty sources are left out.
std::vector<std::string> InlineImageSources(const std::string& body);

// The images of the body to store, in body order, each once. An item of inlineKeyList
// matches a source that contains its name. Under type "" or "bbs" an item is a name, a
// colon and a URL; under any other type, and for an item without a colon, it is a URL
// whose name is the text after its last "/". Names are lowered; the first item that
// matches wins; items whose name is empty are passed over.
std::vector<MsgDownload> PlanInlineImages(const std::string& body, const std::string& inlineKeyList,
                                          const std::string& type);

// The attachments to store, in attachList order: names and sizes are taken from the
// front of their lists, keys from the back of theirs, until names or keys run out; once
// sizes run out the last size stays. Items whose name or key is empty keep their place in
// the pairing but are left out.
std::vector<MsgDownload> PlanAttachDownloads(const std::string& attachList, const std::string& recordKeyList,
                                             const std::string& attachSize);
