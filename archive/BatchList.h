// The batch page's list of a folder's messages, read directly over the internet client.
#pragma once

#include <windows.h>

#include <string>

// The answer is kept in memory; a folder's list is far below this.
constexpr size_t kMaxBatchListBytes = 16 * 1024 * 1024;

enum class BatchListOutcome {
    kRead,           // the whole answer is in *answer
    kNotReached,     // the URL could not be opened, or the server answered with an error status
    kBrokeOff,       // the answer stopped or grew too long while it was read: *failure says why
};

// Opens url with the ASCII transfer flag and reads its body in pieces of 2048 bytes.
BatchListOutcome FetchBatchList(const std::string& url, std::string* answer, HRESULT* failure);
