// CNvAttCtrl: the local save commands. A message goes into a message file, an EML file or
// an HTML page the user chose; none of them replaces a file before the new one is whole,
// and none leaves the process in another current folder.
#include "control/NvAttCtrl.h"

#include <commdlg.h>

#include "attach/Cp949Text.h"
#include "download/DownloadEmlFile.h"
#include "download/FileOpener.h"
#include "download/PartFile.h"
#include "framework/ErrorMacros.h"
#include "framework/ScratchFile.h"
#include "framework/TempFolder.h"
#include "framework/Text.h"
#include "framework/UniqueHandle.h"
#include "res/Texts.h"
#include "submit/DirectUploadText.h"
#include "store/HtmlBodyPlan.h"
#include "store/LocalFiles.h"
#include "store/LocalSaveNames.h"
#include "store/SafeFileName.h"

namespace {

const wchar_t kErrorSource[] = L"NVATT.NvAttCtrl.1";
const char kCallMessageName[] = "_veladoc_.pcm";
const char kUnnamedMessage[] = "__EDM__";
constexpr DWORD kLocalSaveFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
constexpr DWORD kFolderChoiceFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;

// The path's folder (before its last backslash) and the name after it.
void SplitPath(const std::string& path, std::string* folder, std::string* name) {
    std::size_t slash = FindLastCp949Char(path, '\\');
    *folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    *name = slash == std::string::npos ? path : path.substr(slash + 1);
}

// Entries of folder whose names begin with stem, whatever follows.
unsigned CountNamesBeginning(const std::string& folder, const std::string& stem) {
    WIN32_FIND_DATAA found;
    fw::UniqueFindHandle find(FindFirstFileA((folder + stem + "*.*").c_str(), &found));
    if (!find) return 0;
    unsigned count = 0;
    do ++count;
    while (FindNextFileA(find.get(), &found));
    return count;
}

// Moves from to folder + name, numbered from first up to a free name; never replaces a
// file. The path it got, or empty when no such name could be made.
std::string MoveToFreeName(const std::string& from, const std::string& folder, const std::string& name,
                           unsigned first) {
    for (unsigned n = first; n <= kMaxFileNumber; ++n) {
        std::string target = folder + NumberedFileName(name, n);
        if (MoveFileA(from.c_str(), target.c_str())) return target;
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) break;
    }
    return std::string();
}

}  // namespace

BOOL CNvAttCtrl::SaveMessageForCall(const std::string& path, bool* told) {
    std::string target = path, name = FileNameOfPath(path);
    if (path.empty()) {
        const std::string temp = fw::TempFolder();
        if (temp.empty()) return FALSE;
        name = kCallMessageName;
        target = temp + name;
    }
    // The scratch files of the attachments go beside the target, its folder with the
    // backslash: a bare drive ("C:") would stand for that drive's current folder.
    const std::size_t slash = FindLastCp949Char(target, '\\');
    if (slash == std::string::npos) return FALSE;
    CPartFile part;
    if (part.Create(target) != ERROR_SUCCESS) return FALSE;
    if (!WriteMessageFile(part.path(), name, target.substr(0, slash + 1), std::string(), told)) return FALSE;
    return part.Commit() == ERROR_SUCCESS;
}

HRESULT CNvAttCtrl::LocalSave(const std::string& strtitle) try {
    auto keep = KeepAlive();
    LocalFileDialog dialog;
    dialog.filter = texts::kLocalSaveFilter;
    dialog.defaultExt = "pcm";
    dialog.title = texts::kLocalSaveTitle;
    dialog.flags = kLocalSaveFlags;
    dialog.initialName = CleanTitle(strtitle);
    dialog.initialFolder = m_strLocalDefaultDir;
    std::string path, folder, name;
    if (!AskLocalFile(m_hWnd, dialog, true, &path) || !m_hWnd) return S_OK;
    SplitPath(path, &folder, &name);
    const std::size_t dot = FindLastCp949Char(name, '.');
    const std::string extension = LowerAsciiCp949(dot == std::string::npos ? std::string() : name.substr(dot + 1));

    bool written = false, told = false;
    if (extension == "pcm") {
        written = SaveMessageForCall(path, &told);
    } else if (extension == "eml") {
        RETURN_IF_FAILED(CheckTargetUrl(EmlDownloadUrl(m_strFormsURL, m_strObjDataURL)));
        CPartFile part;
        if (part.Create(path) == ERROR_SUCCESS) {
            const EmlSave saved = DownloadEmlFile(path, FileNameOfPath(part.path()), folder, m_strFormsURL,
                                                  m_strObjDataURL, m_hWnd, m_strCaption);
            told = saved == EmlSave::kToldUser;
            written = saved == EmlSave::kWritten && part.Commit() == ERROR_SUCCESS;
        }
    } else {
        RETURN_IF_FAILED(CheckTargetUrl(
            ::HtmlBodyUrl(m_strFormsURL, m_strType, m_strObjDataURL, m_strObjPostURL, m_strObjClsURL)));
        written = SaveHtmlBody(path, name, folder);
        told = true;  // it tells each failure itself
    }
    if (!m_hWnd) return S_OK;  // the page went away under a dialog
    if (written) ShowMessage(texts::kLocalSaveDone, MB_ICONINFORMATION);
    else if (!told) ShowMessage(FillIn(texts::kLocalSaveFailed, path), MB_ICONSTOP);
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

HRESULT CNvAttCtrl::LocalSaveCompose(const std::string& strtitle) try {
    auto keep = KeepAlive();
    LocalFileDialog dialog;
    dialog.filter = texts::kComposeSaveFilter;
    dialog.defaultExt = "htm";  // the only type the filter offers
    dialog.flags = kLocalSaveFlags;
    dialog.initialName = CleanTitle(strtitle);
    std::string path;
    if (!AskLocalFile(m_hWnd, dialog, true, &path) || !m_hWnd) return S_OK;
    CPartFile part;
    DWORD error = part.Create(path);
    if (error == ERROR_SUCCESS) error = WriteWholeFile(part.path(), m_strComposeBody);
    if (error == ERROR_SUCCESS) error = part.Commit();
    if (error == ERROR_SUCCESS) ShowMessage(texts::kLocalSaveDone, MB_ICONINFORMATION);
    else ShowMessage(FillIn(texts::kLocalSaveFailed, path), MB_ICONSTOP);
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

HRESULT CNvAttCtrl::LocalTempSave(const std::string& title, std::string* result) try {
    auto keep = KeepAlive();
    // The title names a file of the temporary folder, never one elsewhere.
    std::string name;
    const std::string temp = fw::TempFolder();
    if (temp.empty() || !MakeSafeFileName(title + ".pcm", name)) return S_OK;
    const std::string path = temp + name;
    if (SaveMessageForCall(path, nullptr)) *result = path;
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

HRESULT CNvAttCtrl::DoSaveLocal(const std::string& szMsgIDs, const std::string& szType, bool* result) try {
    auto keep = KeepAlive();
    *result = false;
    if (!IsLettersOnly(szType))
        return fw::ReportError(E_INVALIDARG, kErrorSource, L"szType is not an extension: " + fw::AnsiToWide(szType));
    const bool messageFiles = EqualNoCaseCp949(szType, "pcm");
    LocalFileDialog dialog;
    dialog.filter = messageFiles ? texts::kPcmSaveFilter : texts::kNcfSaveFilter;
    dialog.title = texts::kLocalSaveTitle;
    dialog.flags = kFolderChoiceFlags;
    dialog.initialName = texts::kLocalSaveName;
    dialog.initialFolder = m_strLocalDefaultDir;
    std::string path;
    if (!AskLocalFile(m_hWnd, dialog, true, &path) || !m_hWnd) return S_OK;
    const std::string folder = path.substr(0, FindLastCp949Char(path, '\\') + 1);

    // Only message files are written; signed documents have no writer of their own.
    for (const std::string& id : messageFiles ? SplitMessageIds(szMsgIDs) : std::vector<std::string>()) {
        if (!m_hWnd) break;
        fw::ScratchFile written;
        if (!written.Create(folder, "NC")) break;  // nothing can be written there
        const std::string displayName = std::string(kUnnamedMessage) + ".pcm";
        if (!WriteMessageFile(written.path(), displayName, folder, id)) continue;
        // Named after the subject, numbered from the count of names it begins, up to a
        // free one; a file no such name can be made for keeps a name of its own.
        std::string stem;
        if (!MakeSafeFileName(CleanTitle(m_strFormSubject), stem)) stem = kUnnamedMessage;
        std::string target = MoveToFreeName(written.path(), folder, stem + "." + szType, CountNamesBeginning(folder, stem));
        if (target.empty()) target = MoveToFreeName(written.path(), folder, std::string(kUnnamedMessage) + "." + szType, 0);
        if (target.empty()) target = written.path();
        written.Release();
        m_strSavedFile = target;
    }
    *result = true;
    return S_OK;
} catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
}

HRESULT CNvAttCtrl::DoSaveEDM(const std::string&, const std::string&, const std::string&, const std::string&,
                              bool* result) {
    *result = true;
    return S_OK;
}
