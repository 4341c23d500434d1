// The raw source of the message being read, from the server page downloademl.asp into a
// local file.
#include "download/DownloadEmlFile.h"

#include "download/InternetSession.h"
#include "framework/TempFolder.h"
#include "framework/UniqueHandle.h"
#include "res/Texts.h"

namespace {

const DWORD kChunkBytes = 4096;
// The request's context and its flags: the ASCII transfer default of an opened URL.
const DWORD_PTR kContext = 1;
const DWORD kOpenFlags = INTERNET_FLAG_TRANSFER_ASCII;

}  // namespace

std::string EmlDownloadUrl(const std::string& formsURL, const std::string& objDataURL) {
    return formsURL + "downloademl.asp?dataurl=" + objDataURL;
}

EmlSave DownloadEmlFile(const std::string&, const std::string& name, const std::string& folder,
                        const std::string& formsURL, const std::string& objDataURL, HWND owner,
                        const std::string& caption) {
    const std::string directory = folder.empty() ? fw::TempFolder() : folder;
    const std::string url = EmlDownloadUrl(formsURL, objDataURL);
    fw::UniqueHInternet session = OpenInternetSession();
    fw::UniqueHInternet response;
    if (session) {
        response.reset(InternetOpenUrlA(session.get(), url.c_str(), nullptr, 0, kOpenFlags, kContext));
    }
    if (!response) MessageBoxA(owner, texts::kInternetAccessError, caption.c_str(), MB_OK | MB_ICONEXCLAMATION);

    // A folder that ends in a backslash gives a doubled one, which the file system takes.
    const std::string target = directory + "\\" + name;
    fw::UniqueFile file(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!response) return EmlSave::kToldUser;
    bool whole = static_cast<bool>(file);
    char chunk[kChunkBytes];
    for (DWORD got;;) {
        if (!InternetReadFile(response.get(), chunk, sizeof(chunk), &got)) {
            whole = false;
            break;
        }
        if (got == 0) break;
        DWORD written = 0;
        if (file && (!WriteFile(file.get(), chunk, got, &written, nullptr) || written != got)) whole = false;
    }
    return whole ? EmlSave::kWritten : EmlSave::kNotWritten;
}
