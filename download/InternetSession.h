// The internet session of the control's direct requests (the request client): the
// module's name as agent, pre-configured access, no proxy, no flags; and the whole text
// answer of one such request.
#pragma once

#include "framework/UniqueHandle.h"

#include <cstddef>
#include <string>

fw::UniqueHInternet OpenInternetSession();

enum class UrlTextOutcome {
    kRead,        // the whole answer is in *text
    kNotReached,  // the URL could not be opened, or the server answered with an error status
    kBrokeOff,    // the answer stopped before its announced end or grew past maxBytes: *failure says why
};

// Opens url with the ASCII transfer flag (context 1) and reads its body into *text.
UrlTextOutcome ReadUrlText(const std::string& url, size_t maxBytes, std::string* text, HRESULT* failure);
