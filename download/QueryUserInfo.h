// Asks the server page wGetUserSimple.asp about a list of users.
#pragma once

#include <windows.h>

#include <string>

// The answer of fbUrl + "wGetUserSimple.asp?UserIDs=" + userIds (inserted as they are),
// read line by line and joined by line feeds: none before the first line, none after the
// last. A line ends at a line feed; a carriage return before it stays. An error page is
// an answer like any other. Fails, with an empty answer, when the request cannot be made
// or read, or when the answer is longer than kMaxUserInfoBytes.
constexpr size_t kMaxUserInfoBytes = 1024 * 1024;
[[nodiscard]] HRESULT QueryUserInfo(const std::string& fbUrl, const std::string& userIds, std::string* answer);
