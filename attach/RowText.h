// Row texts of the two attachment lists: names, labels, duplicates and copy names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// Row texts are built in a 512-byte buffer and paths in MAX_PATH (260) buffers, both with
// their terminating zero. Texts that do not fit, or that hold a zero byte, are refused
// rather than cut into a row for another file.
inline constexpr std::size_t kRowTextBufferSize = 512;
inline constexpr std::size_t kPathBufferSize = 260;

// One row as the list inserts it.
struct ListRowText {
    std::string name;      // AttachItem::name
    std::string label;     // the text the row shows
    std::string iconPath;  // what the shell is asked for the row's icon
};

// InsertAttach: an empty size suffix "()" at the end is dropped from the name in view mode 1
// and kept in every other mode; the icon is looked up without it in all modes.
std::optional<ListRowText> MakeAttachRow(const std::string& text, int viewMode);

// InsertFile: the text is cut at its last "(" (callers pass a path followed by "()").
std::optional<ListRowText> MakeFileRow(const std::string& text);

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
