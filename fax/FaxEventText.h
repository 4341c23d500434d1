// The text of the EvClickSendFax event: which of a message's attachments a fax printer
// driver can print.
#pragma once

#include <string>
#include <vector>

// A row's extension as the fax rule reads it: the text after its last "." (the whole text
// when it has none), cut to four characters and lowered, then to three unless it is
// "html". So "docx" reads "doc", "tiff" "tif" and "jpeg" "jpe".
std::string FaxExtension(const std::string& rowText);

// True for ncf xls doc hwp txt ppt jpg bmp tif htm.
bool IsFaxable(const std::string& rowText);

struct FaxRow {
    std::string text;  // the row's text in the list
    std::string path;  // where it was fetched to; empty when the fetch failed
};

// encodedSubject "|" count "|" paths: each faxable row counts; its path is followed by
// "|" unless the row is the last of the list, and an empty path adds nothing. A list
// that ends in a row that is not faxable leaves a "|" at the end, which pages expect.
std::string BuildFaxEventText(const std::string& encodedSubject, const std::vector<FaxRow>& rows);
