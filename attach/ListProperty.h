// The tab-separated list properties: attachlist, attachSize, recordkeylist, inlinekeylist.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Elements are the maximal runs of non-tab bytes: leading, trailing and repeated tabs
// separate nothing. An empty list has no elements.
std::vector<std::string> SplitTabList(const std::string& list);

// How a server attachment without a known size ends its row text.
enum class NoSizeSuffix {
    kEmptyParens,  // " name()": the notify handler, and view mode 1 at creation
    kNone,         // " name": the other view modes at creation
};

// Row texts of the server attachments, in attachlist order (each row goes to index 0, so
// the list shows them reversed). The n-th name takes the n-th count of attachSize that a
// tab follows and gets "(" + FormatKBytes(count) + ")"; a count without a tab after it
// gives that name and every later one no size, and so do names after the last count.
std::vector<std::string> ServerRowTexts(const std::string& attachList,
                                        const std::string& attachSize, NoSizeSuffix noSize);

// A row of the attachment dialog: an attachlist name and the size text shown after it.
struct DialogRow {
    std::string name;
    std::string sizeText;  // "(2K)", or empty
};
// The dialog's rows in attachlist order. The n-th name takes the n-th count of attachSize
// that a tab ends ("(" + FormatKBytes + ")"); a count without a tab after it gives that name
// and every later one no size text; once the counts are used up, the last size text repeats.
std::vector<DialogRow> AttachDialogRows(const std::string& attachList, const std::string& attachSize);

// Record key of the server row at rowIndex in a list of rowCount rows. Local rows sit above
// the server rows, so when the list has more rows than keys the index is moved down by the
// difference. Empty when recordkeylist has no such element.
std::string RecordKeyForRow(const std::string& recordKeyList, long long rowIndex,
                            long long rowCount);

// Removes every element equal to key that a tab follows, with its tab. Only whole elements
// go: a key that merely ends another key leaves that other key alone.
std::string RemoveRecordKey(const std::string& recordKeyList, const std::string& key);

// DoGetAttach: every row's name in row order without one leading space, each followed by "|".
std::string GetAttachText(const std::vector<std::string>& rowNames);

// Names of attachlist, in order, that no server row of the list stands for (IsServerRowOf):
// the server attachments the user removed.
std::vector<std::string> RemovedServerNames(const std::string& attachList,
                                            const std::vector<std::string>& rowNames);

// DoGetDeleteAttach: RemovedServerNames, each followed by "|".
std::string GetDeleteAttachText(const std::string& attachList,
                                const std::vector<std::string>& rowNames);

// The names of a restored file list that a tab follows, in order; the walk stops at the
// first name without a tab after it. Empty names (two tabs in a row) are skipped.
std::vector<std::string> TabTerminatedNames(const std::string& list);
