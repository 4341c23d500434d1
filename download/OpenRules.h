// The rules that decide what an attachment download fetches, what the file is called and
// how it is opened. Server and page texts are hostile: nothing here lets a name pick a folder.
#pragma once

#include <string>

// Element index of a tab-separated list (leading and repeated tabs separate nothing);
// false, with nothing requested, for a negative index or one past the last element.
bool ListElement(const std::string& list, long long index, std::string* element);

// The file name in a server row text or a page's name argument: blanks trimmed on both
// sides, a trailing size suffix ("()", "(1,234K)") cut, blanks trimmed again. Other
// parentheses are part of the name: "보고서(최종).doc" stays whole.
std::string PrepareServerName(const std::string& name);

// Every "~" followed by a space, as the groupware's download page expects its keys.
std::string SpaceAfterTildes(const std::string& url);

// The extension of the path's last component (the text after its last "."), lower-cased
// outside double-byte characters; empty when it has none.
std::string LowerExtension(const std::string& path);
// "ncf", "nvs", "pm_", "pcm": the system's own message files, shown by the companion viewer.
bool IsMessageFileExtension(const std::string& lowerExtension);
// "htm", "html".
bool IsWebPageExtension(const std::string& lowerExtension);
// Types that run code when opened (programs, scripts, shortcuts, installers, registry files).
bool RunsCode(const std::string& lowerExtension);

// A name from a server or a page as a file name of its own (no folder, drive or stream
// part, no character Windows refuses); empty when nothing usable is left.
std::string SafeLeafName(const std::string& name);

// folder + "\" + name, without a second backslash when the folder ends in one.
std::string JoinFolder(const std::string& folder, const std::string& name);

// The number a failure message shows: a system or HTTP status code where the result
// carries one, the result itself otherwise.
long FailureNumber(long long result);
