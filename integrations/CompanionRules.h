// Rules for what a page may hand to the companion programs: user ids, profile values,
// command lines, and the lines of the process register shared with the relay program.
#pragma once

#include <string>
#include <vector>

// A user id becomes a folder, a page title, a script string and a register line: 1 to 64
// of A-Z a-z 0-9 . _ - @, not beginning with ".".
bool IsSafeUserId(const std::string& id);

// True when text holds a byte below 0x20 or 0x7F.
bool HasControlCharacter(const std::string& text);

// Why a command line may not be started; kOk when it may.
enum class ExeRule {
    kOk,
    kEmpty,
    kUnclosedQuote,      // the quoted program has no closing quote
    kNotExe,             // the program is not a file ending in ".exe"
    kNotAbsolute,        // the program does not begin with a drive letter, ":" and "\"
    kUncOrDevice,        // a network, device or reserved-name path
    kParentReference,    // ".." anywhere in the program
    kBadPathCharacter,   // "/", a second ":", wildcards, quotes or control bytes in the program
    kFolderNotAllowed,   // the program is not directly in one of the allowed folders
    kArgumentControl,    // control bytes in the arguments
    kArgumentShell,      // one of % ^ & | < > in the arguments
    kArgumentQuotes,     // an odd number of double quotes in the arguments
};

struct ExeCommand {
    std::string program;    // the application name, no quotes
    std::string arguments;  // what follows it, without the separating space
};

// Splits a command line into program and arguments and checks both. A quoted program
// runs to its closing quote; an unquoted one to the first ".exe" that ends the line or
// is followed by a space. allowedFolders end in "\"; they are compared without regard
// to ASCII case.
ExeRule CheckExeCommand(const std::string& commandLine, const std::vector<std::string>& allowedFolders,
                        ExeCommand* command);

// The sentence that names a refused rule, in English for the automation error.
const char* ExeRuleText(ExeRule rule);

// The folder of a path: up to and including its last "\"; empty when it has none.
std::string FolderOfPath(const std::string& path);

// True when path is folder itself or lies below it (both compared as above).
bool IsWithinFolder(const std::string& path, const std::string& folder);

// The process register holds one line per running host. Adds line (which ends in "\r\n")
// unless a line equal to it is there; a last line without its end gets one first. True
// when content changed.
bool AddRegisterLine(std::string* content, const std::string& line);
// Removes every line equal to line (which ends in "\r\n"), also a last one without the
// line end; lines that merely contain it stay. True when content changed.
bool RemoveRegisterLine(std::string* content, const std::string& line);

// A text with every double quote removed.
std::string WithoutQuotes(const std::string& text);
