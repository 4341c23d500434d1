// CNvAttCtrl: staging the form fields, the body and extra files of a message.
#include "control/NvAttCtrl.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "framework/ComPtr.h"
#include "framework/ErrorMacros.h"
#include "framework/TempFolder.h"
#include "framework/UniqueHandle.h"
#include "res/Texts.h"
#include "submit/FormStaging.h"
#include "transfer/UrlCoding.h"

namespace {

// The platform's scripting file-system component, which writes the Unicode files.
const CLSID kFileSystemObject = {0x0D43FE01, 0xF093, 0x11CF, {0x89, 0x40, 0x00, 0xA0, 0xC9, 0x05, 0x42, 0x28}};
const IID kFileSystem3 = {0x0AB5A3D0, 0xE5B6, 0x11D0, {0xAB, 0xF5, 0x00, 0xA0, 0xC9, 0x0F, 0xFF, 0xC0}};
const char kApplicationTitle[] = "NVATT";

// Calls a member of a late-bound object by name; args from left to right.
HRESULT CallByName(IDispatch* object, const wchar_t* name, VARIANT* args, UINT count, VARIANT* result) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    RETURN_IF_FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    std::vector<VARIANT> reversed(args, args + count);
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, count, 0};
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

// Keeps COM initialised on this thread for the scope, as the scripting component needs.
class ComInit {
public:
    ComInit() : m_hr(CoInitialize(nullptr)) {}
    ~ComInit() {
        if (SUCCEEDED(m_hr)) CoUninitialize();
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;

private:
    HRESULT m_hr;
};

// The text of a script value: a string as it is, anything else converted.
HRESULT VariantText(const VARIANT& value, fw::Variant* text) {
    const VARIANT* v = V_VT(&value) == (VT_VARIANT | VT_BYREF) ? V_VARIANTREF(&value) : &value;
    return VariantChangeType(text, const_cast<VARIANT*>(v), 0, VT_BSTR);
}

}  // namespace

HRESULT CNvAttCtrl::DoField(const std::string& szName, const std::string& szVal) {
    std::string entry = FormatFieldEntry(szName, szVal);
    switch (ClassifyFieldEntry(entry)) {
    case FieldKind::kBody: {
        std::string path = fw::TempFolder() + "_velabody_.dat";
        {
            fw::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
            DWORD written = 0;
            // The value up to its first zero byte, as text.
            if (file) WriteFile(file.get(), szVal.c_str(), static_cast<DWORD>(strlen(szVal.c_str())), &written, nullptr);
        }
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        std::uint64_t length = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        // A large body goes as a file, and only as a file.
        if (BodyGoesAsFile(length)) m_msgUpload.AddFile(szName, path);
        else m_fieldList.push_back(entry);
        return S_OK;
    }
    case FieldKind::kSubject:
        m_strFormSubject = szVal;
        break;
    case FieldKind::kPlain:
        break;
    }
    m_fieldList.push_back(entry);
    return S_OK;
}

HRESULT CNvAttCtrl::DoVariant(const VARIANT& szName, const VARIANT& szVal) {
    fw::Variant name, value;
    if (FAILED(VariantText(szName, &name)) || FAILED(VariantText(szVal, &value)))
        return fw::ReportError(DISP_E_TYPEMISMATCH, L"NVATT.NvAttCtrl.1", L"DoVariant: the name or value is not text");
    std::string nameText = fw::BstrToAnsi(V_BSTR(&name));
    std::optional<VariantFile> file = ChooseVariantFile(nameText);
    if (!file) {
        return fw::ReportError(E_INVALIDARG, L"NVATT.NvAttCtrl.1",
                               L"DoVariant: no staging file for the field " + fw::AnsiToWide(nameText));
    }
    if (*file == VariantFile::kTitle) m_strFormSubject = fw::BstrToAnsi(V_BSTR(&value));
    std::string path = fw::TempFolder() + VariantFileName(*file);

    ComInit com;
    fw::ComPtr<IDispatch> fileSystem;
    HRESULT hr = CoCreateInstance(kFileSystemObject, nullptr, CLSCTX_INPROC_SERVER, kFileSystem3, fileSystem.put_void());
    if (FAILED(hr)) {
        char text[64];
        snprintf(text, sizeof(text), texts::kCannotSaveAttachFile, static_cast<int>(hr));
        MessageBoxA(m_hWnd, text, kApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
        return S_OK;
    }
    // UTF-16 with its byte-order mark: overwrite on, Unicode on.
    VARIANT args[3];
    V_VT(&args[0]) = VT_BSTR;
    V_BSTR(&args[0]) = fw::AnsiToBstr(path);
    V_VT(&args[1]) = VT_BOOL;
    V_BOOL(&args[1]) = VARIANT_TRUE;
    V_VT(&args[2]) = VT_BOOL;
    V_BOOL(&args[2]) = VARIANT_TRUE;
    fw::Variant stream;
    hr = CallByName(fileSystem.get(), L"CreateTextFile", args, 3, &stream);
    VariantClear(&args[0]);
    if (SUCCEEDED(hr) && V_VT(&stream) == VT_DISPATCH && V_DISPATCH(&stream)) {
        CallByName(V_DISPATCH(&stream), L"Write", &value, 1, nullptr);
        CallByName(V_DISPATCH(&stream), L"Close", nullptr, 0, nullptr);
    }
    m_msgUpload.AddFile(nameText, path);
    return S_OK;
}

HRESULT CNvAttCtrl::DoFile(const std::string& szName, const std::string& szVal, short szPos) {
    std::string path = PercentDecode(szVal);
    std::string part = FilePartName(szName, szPos);
    m_msgUpload.AddFile(part, path);
    if (szPos >= 1) m_msgUpload.AddField(part, path);
    return S_OK;
}

HRESULT CNvAttCtrl::SendField(const std::string& szName, const std::string& szVal) {
    m_sendFieldList.push_back(FormatFieldEntry(szName, szVal));
    return S_OK;
}

HRESULT CNvAttCtrl::DoClear() {
    m_fieldList.clear();
    m_msgUpload.RemoveAll();
    return S_OK;
}

HRESULT CNvAttCtrl::SendClear() {
    // The entries stay: only SendSubmit empties them.
    m_sendUpload.RemoveAll();
    return S_OK;
}
