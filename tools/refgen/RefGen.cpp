// Writes the page authors' reference of the control's script interface from the control
// itself: the members come from the type library in NVATT.OCX, the PARAM names from what
// the control saves into a property bag, and the descriptions from a hand-written file.
//
//   RefGen.exe <NVATT.OCX> <descriptions.txt> <reference.md> [--check]
//
// With --check the reference is compared with the file instead of written. Exit codes:
// 0 written or the same, 1 the file differs, 2 a member without a description or a
// description of no member, 3 the control or a file could not be read.
#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text, int length = -1) {
    if (!text) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], n, nullptr, nullptr);
    if (length < 0 && !out.empty()) out.pop_back();
    return out;
}

std::string TypeName(VARTYPE vt) {
    switch (vt) {
        case VT_BSTR: return "String";
        case VT_I4: return "Long";
        case VT_I2: return "Short";
        case VT_BOOL: return "Boolean";
        case VT_VARIANT: return "Variant";
        case VT_VOID: return "void";
        default: return "VT " + std::to_string(vt);
    }
}

struct Member {
    MEMBERID id = 0;
    std::string name;
    std::string type;                // a property's type, a method's return type
    std::vector<std::string> params;  // "Type name"
};

std::string StringGuid(const GUID& guid) {
    wchar_t text[64] = {};
    StringFromGUID2(guid, text, 64);
    return Utf8(text);
}

// The members of one dispatch interface, properties and methods apart, in dispid order
// with the stock (negative) dispids last.
void ReadInterface(ITypeInfo* info, std::vector<Member>* properties, std::vector<Member>* methods) {
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr))) return;
    for (UINT i = 0; i < attr->cVars; ++i) {
        VARDESC* var = nullptr;
        if (FAILED(info->GetVarDesc(i, &var))) continue;
        BSTR name = nullptr;
        UINT count = 0;
        info->GetNames(var->memid, &name, 1, &count);
        properties->push_back({var->memid, Utf8(name), TypeName(var->elemdescVar.tdesc.vt), {}});
        SysFreeString(name);
        info->ReleaseVarDesc(var);
    }
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* func = nullptr;
        if (FAILED(info->GetFuncDesc(i, &func))) continue;
        std::vector<BSTR> names(static_cast<size_t>(func->cParams) + 1, nullptr);
        UINT count = 0;
        info->GetNames(func->memid, names.data(), static_cast<UINT>(names.size()), &count);
        Member m{func->memid, Utf8(names[0]), TypeName(func->elemdescFunc.tdesc.vt), {}};
        for (SHORT p = 0; p < func->cParams; ++p) {
            std::string param = TypeName(func->lprgelemdescParam[p].tdesc.vt);
            if (static_cast<UINT>(p) + 1 < count && names[p + 1]) param += " " + Utf8(names[p + 1]);
            m.params.push_back(param);
        }
        for (BSTR b : names) SysFreeString(b);
        methods->push_back(m);
        info->ReleaseFuncDesc(func);
    }
    info->ReleaseTypeAttr(attr);
    auto order = [](const Member& a, const Member& b) {
        if ((a.id < 0) != (b.id < 0)) return b.id < 0;
        return a.id < b.id;
    };
    std::sort(properties->begin(), properties->end(), order);
    std::sort(methods->begin(), methods->end(), order);
}

// A property bag that keeps the names and value types the control saves into it.
class NameBag : public IPropertyBag {
public:
    std::vector<std::pair<std::string, std::string>> entries;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IPropertyBag) {
            *ppv = static_cast<IPropertyBag*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(LPCOLESTR, VARIANT*, IErrorLog*) override { return E_INVALIDARG; }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
        // The container's own entries (extent, stock-property mask) are not the page's.
        if (name && name[0] != L'_') entries.emplace_back(Utf8(name), TypeName(value ? V_VT(value) : static_cast<VARTYPE>(VT_EMPTY)));
        return S_OK;
    }
};

HRESULT SavedNames(HMODULE module, const CLSID& clsid, NameBag* bag) {
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (!get) return E_NOINTERFACE;
    IClassFactory* factory = nullptr;
    HRESULT hr = get(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    IPersistPropertyBag* persist = nullptr;
    hr = factory->CreateInstance(nullptr, IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist));
    factory->Release();
    if (FAILED(hr)) return hr;
    hr = persist->InitNew();
    if (SUCCEEDED(hr)) hr = persist->Save(bag, TRUE, TRUE);
    persist->Release();
    return hr;
}

// "key: text" lines; a line starting with a space continues the one before; "#" lines
// are comments. Keys: a member's name, "event Name", "param Name".
std::map<std::string, std::string> ReadDescriptions(const std::string& path, bool* ok) {
    std::map<std::string, std::string> texts;
    std::ifstream in(path, std::ios::binary);
    *ok = static_cast<bool>(in);
    std::string line, key;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == ' ' && !key.empty()) {
            texts[key] += " " + line.substr(line.find_first_not_of(' '));
            continue;
        }
        size_t colon = line.find(": ");
        if (colon == std::string::npos) continue;
        key = line.substr(0, colon);
        texts[key] = line.substr(colon + 2);
    }
    return texts;
}

std::string Cell(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '|' ? std::string("\\|") : std::string(1, c);
    return out;
}

std::string Dispid(MEMBERID id) {
    return id == -552 ? "-552 (stock AboutBox)" : std::to_string(id);
}

std::string Signature(const Member& m) {
    std::string text = m.type + " " + m.name + "(";
    for (size_t i = 0; i < m.params.size(); ++i) text += (i ? ", " : "") + m.params[i];
    return text + ")";
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 4) {
        fprintf(stderr, "usage: RefGen <NVATT.OCX> <descriptions.txt> <reference.md> [--check]\n");
        return 3;
    }
    const std::wstring ocx = argv[1];
    const std::string descriptionsPath = Utf8(argv[2]), referencePath = Utf8(argv[3]);
    const bool check = argc > 4 && std::wstring(argv[4]) == L"--check";
    CoInitialize(nullptr);

    ITypeLib* lib = nullptr;
    if (FAILED(LoadTypeLibEx(ocx.c_str(), REGKIND_NONE, &lib))) {
        fprintf(stderr, "RefGen: no type library in the control\n");
        return 3;
    }
    TLIBATTR* libAttr = nullptr;
    lib->GetLibAttr(&libAttr);
    BSTR libName = nullptr, libDoc = nullptr;
    lib->GetDocumentation(-1, &libName, &libDoc, nullptr, nullptr);
    std::vector<Member> properties, methods, unusedProps, events;
    CLSID clsid = {};
    std::string className;
    for (UINT i = 0, n = lib->GetTypeInfoCount(); i < n; ++i) {
        ITypeInfo* info = nullptr;
        if (FAILED(lib->GetTypeInfo(i, &info))) continue;
        TYPEATTR* attr = nullptr;
        info->GetTypeAttr(&attr);
        BSTR name = nullptr;
        info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
        if (attr->typekind == TKIND_COCLASS) {
            clsid = attr->guid;
            className = Utf8(name);
        } else if (attr->typekind == TKIND_DISPATCH && Utf8(name).find("Events") != std::string::npos) {
            ReadInterface(info, &unusedProps, &events);
        } else if (attr->typekind == TKIND_DISPATCH) {
            ReadInterface(info, &properties, &methods);
        }
        SysFreeString(name);
        info->ReleaseTypeAttr(attr);
        info->Release();
    }

    NameBag bag;
    HMODULE module = LoadLibraryW(ocx.c_str());
    HRESULT hr = module ? SavedNames(module, clsid, &bag) : HRESULT_FROM_WIN32(GetLastError());
    if (FAILED(hr)) {
        fprintf(stderr, "RefGen: the control saved no properties (0x%08lx)\n", static_cast<unsigned long>(hr));
        return 3;
    }
    std::map<std::string, std::string> saved;  // lower-case name -> PARAM name
    for (const auto& entry : bag.entries) saved[Lower(entry.first)] = entry.first;

    bool readOk = false;
    std::map<std::string, std::string> descriptions = ReadDescriptions(descriptionsPath, &readOk);
    if (!readOk) {
        fprintf(stderr, "RefGen: cannot read %s\n", descriptionsPath.c_str());
        return 3;
    }
    std::set<std::string> used;
    std::vector<std::string> missing;
    auto describe = [&](const std::string& key) {
        used.insert(key);
        auto it = descriptions.find(key);
        if (it == descriptions.end() || it->second.empty()) {
            missing.push_back(key);
            return std::string();
        }
        return Cell(it->second);
    };

    std::ostringstream out;
    out << "# NVATT script interface\n\n"
        << "<!-- Written by tools/refgen from the built control and docs/script-interface.txt;"
        << " edit that file and run scripts/reference.sh, not this one. -->\n\n"
        << "Type library " << Utf8(libName) << " " << libAttr->wMajorVerNum << "." << libAttr->wMinorVerNum
        << " (" << Utf8(libDoc) << "). Control class " << className << ", class id "
        << StringGuid(clsid).substr(1, 36) << ":\n\n"
        << "```html\n<OBJECT ID=\"NvAtt\" CLASSID=\"CLSID:" << StringGuid(clsid).substr(1, 36)
        << "\" WIDTH=\"100%\" HEIGHT=\"120\">\n  <PARAM NAME=\"style\" VALUE=\"1\">\n</OBJECT>\n```\n\n"
        << "Strings cross the interface as BSTR and are held in the Korean ANSI code page (949).\n"
        << "A method that the control cannot carry out fails with an automation error (a script exception),\n"
        << "so a page never mistakes it for success. The control obeys only pages of the sites in its\n"
        << "administrator's allow-list (see deployment.md).\n\n"
        << "## Properties\n\n"
        << "Each property is also a PARAM of the OBJECT tag under the name given (read once, when the page\n"
        << "creates the control); \"-\" marks a property that is not kept.\n\n"
        << "| Dispid | Name | Type | PARAM | Description |\n|---|---|---|---|---|\n";
    for (const Member& p : properties) {
        auto it = saved.find(Lower(p.name));
        std::string param = it == saved.end() ? "-" : it->second;
        if (it != saved.end()) saved.erase(it);
        out << "| " << p.id << " | `" << p.name << "` | " << p.type << " | " << param << " | " << describe(p.name) << " |\n";
    }
    out << "\n## PARAMs without a script property\n\n"
        << "Given in the OBJECT tag only; script cannot read or change them.\n\n"
        << "| PARAM | Type | Description |\n|---|---|---|\n";
    for (const auto& entry : bag.entries) {
        if (!saved.count(Lower(entry.first))) continue;
        out << "| " << entry.first << " | " << entry.second << " | " << describe("param " + entry.first) << " |\n";
    }
    out << "\n## Methods\n\n| Dispid | Signature | Description |\n|---|---|---|\n";
    for (const Member& m : methods)
        out << "| " << Dispid(m.id) << " | `" << Signature(m) << "` | " << describe(m.name) << " |\n";
    out << "\n## Events\n\n"
        << "A page handles an event with a script block for the control, for example\n"
        << "`<SCRIPT FOR=\"NvAtt\" EVENT=\"Close()\">`.\n\n"
        << "| Dispid | Event | Description |\n|---|---|---|\n";
    for (const Member& e : events)
        out << "| " << e.id << " | `" << Signature(e).substr(5) << "` | " << describe("event " + e.name) << " |\n";

    int status = 0;
    for (const std::string& key : missing) {
        fprintf(stderr, "RefGen: no description for %s\n", key.c_str());
        status = 2;
    }
    for (const auto& entry : descriptions) {
        if (used.count(entry.first)) continue;
        fprintf(stderr, "RefGen: a description of no member: %s\n", entry.first.c_str());
        status = 2;
    }
    if (status) return status;

    const std::string text = out.str();
    if (check) {
        std::ifstream in(referencePath, std::ios::binary);
        std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (old != text) {
            fprintf(stderr, "RefGen: %s differs from the control; run scripts/reference.sh\n", referencePath.c_str());
            return 1;
        }
        return 0;
    }
    std::ofstream file(referencePath, std::ios::binary);
    file << text;
    return file ? 0 : 3;
}
