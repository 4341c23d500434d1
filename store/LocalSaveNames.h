// The names the local save commands offer and write: titles cleaned for the save dialog,
// message id lists, and numbered names that never replace a file.
#pragma once

#include <string>
#include <vector>

// The title as the save dialog offers it: cut to its whole characters within the first
// 128 bytes, then without any of ? < | > / \ : * " '.
std::string CleanTitle(const std::string& title);

// The non-empty items of a ";"-separated list, in order.
std::vector<std::string> SplitMessageIds(const std::string& ids);

// A type given by script names an extension: one or more ASCII letters, nothing else.
bool IsLettersOnly(const std::string& type);

// name with "-n" before its extension (the text after its last "."), or name itself for
// n 0: "x.gif" 2 gives "x-2.gif", "x" 2 gives "x-2".
std::string NumberedFileName(const std::string& name, unsigned n);

// The names a file is tried under, in turn: a name whose first choice is taken goes on
// with the next number until one is free. Beyond this, the folder is full of them.
inline constexpr unsigned kMaxFileNumber = 9999;
