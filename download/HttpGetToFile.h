// The direct GET of one URL into a local file, as the start-up restore and the signed
// document viewer need it.
#pragma once

#include <windows.h>

#include <string>

// Follows one redirect and retries once after the system's credentials prompt. Returns
// TRUE in every case: a failed transfer shows up only as a missing, empty or old file.
// Diagnostics go to the standard error stream, one line each.
BOOL HttpGetToFile(std::string url, std::string path);
