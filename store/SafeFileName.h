// Turns a file name stored in a message file into a bare name that stays inside the
// folder the files are extracted into.
#pragma once

#include <string>

// Keeps only the last component after any "\", "/" or ":" (so "..\..\x", "C:\x",
// "C:x" and "a.txt:stream" lose their folder, drive or stream part), replaces the
// characters Windows refuses in names by "_", drops trailing dots and blanks (which
// Windows would drop silently), and puts "_" before a reserved device name ("CON",
// "nul.txt", "LPT1"). Returns false when nothing usable is left ("", ".", "..",
// "C:", "a\"): such a record is not extracted.
[[nodiscard]] bool MakeSafeFileName(const std::string& stored, std::string& safe);
