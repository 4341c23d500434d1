// The target of a redirect answer, read from the raw response headers.
#pragma once

#include <string>

// The text 10 characters after "Location: ", up to the first line feed that follows its
// first character; a carriage return before that line feed stays part of it, as the
// groupware pages have always been followed. found is false when the headers have no
// "Location: "; the text then starts where a find at -1 would put it, 9 characters in.
std::string RedirectLocation(const std::string& rawHeaders, bool* found);
