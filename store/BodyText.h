// Rewriting message bodies in one pass: image references pointed at local copies, and
// text files turned into body text for the compose editor.
#pragma once

#include <string>
#include <vector>

struct TextReplacement {
    std::string what;  // never empty
    std::string with;
};

// A copy of text with every occurrence of each what replaced by its with, found in one
// pass from the front: a match starts and ends on a CP949 character, the longest what
// wins where several start, and replaced text is never looked at again. ignoreCase folds
// ASCII letters only, never a trail byte that looks like one. Empty whats are ignored.
std::string ReplaceEach(const std::string& text, const std::vector<TextReplacement>& replacements,
                        bool ignoreCase = false);

// The body a text file gives: double quotes become single ones; a ".txt" file
// (asText) also has "&", "<" and ">" escaped and each CR LF turned into "<BR>".
std::string TextFileBody(const std::string& text, bool asText);
