// The raw source of the message being read, from the server page downloademl.asp into a
// local file.
#pragma once

#include <windows.h>

#include <string>

// formsURL + "downloademl.asp?dataurl=" + objDataURL, inserted as they are.
std::string EmlDownloadUrl(const std::string& formsURL, const std::string& objDataURL);

enum class EmlSave {
    kWritten,     // the whole answer is in the file
    kToldUser,    // the request could not be made; the user was told
    kNotWritten,  // the file could not be made or written
};

// Fetches formsURL + "downloademl.asp?dataurl=" + objDataURL (inserted as they are) into
// folder + "\" + name, or into the system temporary folder when folder is empty; path,
// the full path the caller chose, is not used. The file is made in every case: a request
// that could not be made is told to the user in a message box (owner, caption) and
// leaves it empty. An error page is stored like any answer.
EmlSave DownloadEmlFile(const std::string& path, const std::string& name, const std::string& folder,
                        const std::string& formsURL, const std::string& objDataURL, HWND owner,
                        const std::string& caption);
