// Row texts of the two attachment lists: names, labels, duplicates and copy names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Row texts are built in a 512-byte buffer and paths in MAX_PATH (260) buffers, both with
// their terminating zero.
inline constexpr std::size_t kRowTextBufferSize = 512;
inline constexpr std::size_t kPathBufferSize = 260;

// A path the user adds must fit a row text whole: shorter than its buffer and without a
// zero byte, which would cut it into the name of another file wherever it is C text.
bool FitsRowText(const std::string& text);

// One row as the list inserts it.
struct ListRowText {
    std::string name;      // AttachItem::name
    std::string label;     // the text the row shows
    std::string iconPath;  // what the shell is asked for the row's icon
};

// Every text gets its row: a server attachment, a restored file or the signature file is
// never dropped, since a server name without its row would read as removed by the user.
// The name is kept whole; a label that does not fit the row buffer is cut (at a character,
// ending in "..."), and the icon of such a row is looked up by its extension alone.

// InsertAttach: an empty size suffix "()" at the end is dropped from the name in view mode 1
// and kept in every other mode; the icon is looked up without it in all modes.
ListRowText MakeAttachRow(const std::string& text, int viewMode);

// InsertFile: the text is cut at its last "(" (callers pass a path followed by "()").
ListRowText MakeFileRow(const std::string& text);

// Where a size suffix at the very end begins: "()" or "(" [-] digits-and-commas "K" ")", as
// FormatKBytes writes it; npos without one.
std::size_t SizeSuffixStart(const std::string& text);

// The part after the last backslash, leading spaces skipped.
std::string RowLabel(const std::string& rowText);

// The duplicate test of the file dialog and DoAttachDirect: the row's name and the path are
// the same file, ignoring ASCII letter case and an empty size suffix "()" that rows of view
// modes other than 1 keep.
bool IsSameFile(const std::string& rowName, const std::string& path);

// A server row (a space, the name and a size suffix) stands for the attachlist name: the
// text after the space equals the name, or does once a size suffix "()" / "(1,024K)" is
// taken off. ASCII letter case is ignored. Rows without the leading space never match.
bool IsServerRowOf(const std::string& rowName, const std::string& attachName);

// The file a local row sends or opens: view mode 1 and the file list store the path itself;
// the other view modes keep the empty size suffix "()" after it, which is taken off.
std::string LocalPathOfRow(const std::string& rowName, int viewMode);

// Candidate paths for the copy of a file that could not be opened, in the file's folder:
// attempt 1 gives "사본 - name", attempt n > 1 "사본 (n) - name". No value when the path
// does not fit MAX_PATH (or attempt is below 1); the caller then keeps the original path.
std::optional<std::string> CopyPathCandidate(const std::string& path, int attempt);
inline constexpr int kCopyPathAttempts = 99;
