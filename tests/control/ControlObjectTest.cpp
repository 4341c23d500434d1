// The control object as containers and script engines see it: interfaces, dispatch
// rules, the modified flag, every persistence format and its drawing.
#include <gtest/gtest.h>

#include <windows.h>
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "control/NvAttIds.h"
#include "framework/ComPtr.h"
#include "framework/Text.h"
#include "tests/control/OcxModule.h"
#include "tools/pagehost/PropertyBag.h"

namespace {

// The persisted entries in the order they are exchanged: texts, and numbers marked
// with their type.
const wchar_t* const kPersisted[] = {
    L"strURL", L"attachlist", L"recordkeylist", L"attachSize", L"inlinekeylist", L"formsURL", L"strobj",
    L"UploadURL", L"Auth", L"strMsgInfo", L"submitURL", L"style:I4", L"size:I4", L"objDataURL", L"objPostURL",
    L"objClsURL", L"type", L"fburl", L"adurl", L"subject", L"sqlfilepath", L"folderName", L"UserID", L"UserPass",
    L"UserName", L"UserDeptName", L"UserSabun", L"UserIP", L"SenderID", L"MailSaveSQLServerUrl",
    L"SignSaveSQLServerUrl", L"BatchURL", L"signFile", L"ComposeBody", L"aMode:I2", L"CompanyName", L"GroupAcl",
    L"EngineURL", L"DocUploadUrl", L"VedUveIP", L"FileSvrIP", L"EDMAttachDocLib", L"LocalDefaultDir",
    L"CreateMailURL", L"CkServer", L"EncFile:I2", L"SSL:I2",
};

std::wstring NameOf(const wchar_t* entry) {
    std::wstring e = entry;
    return e.substr(0, e.find(L':'));
}
bool IsNumber(const wchar_t* entry) { return wcschr(entry, L':') != nullptr; }
std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

class ControlObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        ASSERT_TRUE(m_ocx.loaded());
        ASSERT_HRESULT_SUCCEEDED(m_ocx.CreateControl(IID_IDispatch, m_control.put_void()));
    }
    void TearDown() override {
        m_control.reset();
        CoUninitialize();
    }

    template <class T>
    fw::ComPtr<T> As(IDispatch* control = nullptr) {
        fw::ComPtr<T> itf;
        EXPECT_HRESULT_SUCCEEDED((control ? control : m_control.get())->QueryInterface(__uuidof(T), itf.put_void()));
        return itf;
    }
    HRESULT Put(const wchar_t* name, const wchar_t* text) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN, named = DISPID_PROPERTYPUT;
        m_control->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
        fw::Variant value;
        V_VT(&value) = VT_BSTR;
        V_BSTR(&value) = SysAllocString(text);
        DISPPARAMS params = {&value, &named, 1, 1};
        return m_control->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
    }
    std::wstring Get(const wchar_t* name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        m_control->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
        fw::Variant result;
        DISPPARAMS none = {};
        EXPECT_HRESULT_SUCCEEDED(m_control->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
        VariantChangeType(&result, &result, 0, VT_BSTR);
        return V_BSTR(&result) ? V_BSTR(&result) : L"";
    }
    bool Dirty() { return As<IPersistStreamInit>()->IsDirty() == S_OK; }
    void LoadBag(const std::wstring& lines) {
        auto bag = fw::ComPtr<CPropertyBag>::Attach(CPropertyBag::Create());
        bag->ParseLines(lines);
        ASSERT_HRESULT_SUCCEEDED(As<IPersistPropertyBag>()->Load(bag.get(), nullptr));
    }
    fw::ComPtr<CPropertyBag> SaveBag(IDispatch* control) {
        auto bag = fw::ComPtr<CPropertyBag>::Attach(CPropertyBag::Create());
        EXPECT_HRESULT_SUCCEEDED(As<IPersistPropertyBag>(control)->Save(bag.get(), TRUE, TRUE));
        return bag;
    }

    OcxModule m_ocx;
    fw::ComPtr<IDispatch> m_control;
};

TEST_F(ControlObjectTest, AnswersTheInterfacesBrowsersAsk) {
    const IID* wanted[] = {&IID_IOleObject, &IID_IOleInPlaceObject, &IID_IOleInPlaceActiveObject,
                           &IID_IOleControl, &IID_IViewObject, &IID_IViewObject2, &IID_IPersistPropertyBag,
                           &IID_IPersistStreamInit, &IID_IPersistStorage, &IID_IPersist,
                           &IID_IProvideClassInfo, &IID_IProvideClassInfo2, &IID_IConnectionPointContainer,
                           &IID_IObjectSafety, &IID_ISpecifyPropertyPages, &IID_IOleWindow, &DIID__DNvAtt};
    fw::ComPtr<IUnknown> identity = As<IUnknown>();
    for (const IID* iid : wanted) {
        fw::ComPtr<IUnknown> itf;
        ASSERT_HRESULT_SUCCEEDED(m_control->QueryInterface(*iid, itf.put_void()));
        fw::ComPtr<IUnknown> back;
        ASSERT_HRESULT_SUCCEEDED(itf.As(&back));
        EXPECT_EQ(back.get(), identity.get()) << "IUnknown identity";
    }
    fw::ComPtr<IUnknown> none;
    EXPECT_EQ(m_control->QueryInterface(IID_IPersistFile, none.put_void()), E_NOINTERFACE);

    DWORD misc = 0;
    ASSERT_HRESULT_SUCCEEDED(As<IOleObject>()->GetMiscStatus(DVASPECT_CONTENT, &misc));
    EXPECT_EQ(misc, 0x20191u);
    GUID events = GUID_NULL;
    ASSERT_HRESULT_SUCCEEDED(As<IProvideClassInfo2>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events));
    EXPECT_TRUE(IsEqualGUID(events, DIID__DNvAttEvents));
    fw::ComPtr<IConnectionPoint> point;
    EXPECT_HRESULT_SUCCEEDED(As<IConnectionPointContainer>()->FindConnectionPoint(DIID__DNvAttEvents, point.put()));
    EXPECT_EQ(As<IConnectionPointContainer>()->FindConnectionPoint(IID_IDispatch, point.put()), CONNECT_E_NOCONNECTION);
    CAUUID pages = {};
    ASSERT_HRESULT_SUCCEEDED(As<ISpecifyPropertyPages>()->GetPages(&pages));
    ASSERT_EQ(pages.cElems, 1u);
    EXPECT_TRUE(IsEqualCLSID(pages.pElems[0], CLSID_NvAttPropPage));
    CoTaskMemFree(pages.pElems);
}

TEST_F(ControlObjectTest, DispatchRejectsBadCallsWithoutTouchingState) {
    DISPPARAMS none = {};
    fw::Variant result;
    EXPECT_EQ(m_control->Invoke(12345, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    // DoField takes two strings.
    EXPECT_EQ(m_control->Invoke(34, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    // style is a long: text that is no number is refused and the value stays.
    EXPECT_EQ(Put(L"style", L"not a number"), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Get(L"style"), L"0");
    EXPECT_HRESULT_SUCCEEDED(Put(L"style", L"3"));
    EXPECT_EQ(Get(L"style"), L"3");

    // A method that refuses its argument fails with a description that names it.
    EXCEPINFO info = {};
    fw::Variant command;
    V_VT(&command) = VT_BSTR;
    V_BSTR(&command) = SysAllocString(L"cmd.exe");
    DISPPARAMS one = {&command, nullptr, 1, 0};
    EXPECT_EQ(m_control->Invoke(50, IID_NULL, 0, DISPATCH_METHOD, &one, &result, &info, nullptr), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, E_INVALIDARG);
    ASSERT_NE(info.bstrDescription, nullptr);
    EXPECT_NE(std::wstring(info.bstrDescription).find(L"DoExe"), std::wstring::npos);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
}

TEST_F(ControlObjectTest, EachPropertyKeepsItsValueAndOnlyNotifyPropertiesMarkTheControlModified) {
    const wchar_t* plain[] = {L"strURL", L"formsURL", L"strobj", L"submitURL", L"type", L"sqlfilepath",
                              L"FolderName", L"UserID", L"MailSaveSQLServerUrl", L"signFile",
                              L"SignSaveSQLServerUrl"};
    const wchar_t* notify[] = {L"SenderID", L"PostURL", L"Response", L"RecpType", L"ComposeBody",
                               L"attachlist", L"attachSize", L"recordkeylist", L"strMsgInfo", L"fburl",
                               L"objDataURL", L"inlinekeylist", L"objPostURL", L"subject", L"objClsURL"};
    // Each property reads back its own value: no two share a member.
    ASSERT_HRESULT_SUCCEEDED(As<IPersistStreamInit>()->InitNew());
    for (const wchar_t* name : plain) {
        EXPECT_HRESULT_SUCCEEDED(Put(name, name));
        EXPECT_FALSE(Dirty()) << Narrow(name);
    }
    for (const wchar_t* name : plain) EXPECT_EQ(Get(name), name);
    for (const wchar_t* name : notify) {
        ASSERT_HRESULT_SUCCEEDED(As<IPersistStreamInit>()->InitNew());
        ASSERT_FALSE(Dirty());
        const std::wstring value = std::wstring(name) + L" 값\t\"q\"";
        EXPECT_HRESULT_SUCCEEDED(Put(name, value.c_str()));
        EXPECT_TRUE(Dirty()) << Narrow(name);
        EXPECT_EQ(Get(name), value);
    }
}

TEST_F(ControlObjectTest, PropertyBagSavesEveryEntryInOrderAndLoadsDefaults) {
    ASSERT_HRESULT_SUCCEEDED(As<IPersistPropertyBag>()->InitNew());
    std::wstring defaults = L"_ExtentX=3175\n_ExtentY=794\n_StockProps=0\n_Version=65536\n";
    for (const wchar_t* e : kPersisted) defaults += NameOf(e) + (IsNumber(e) ? L"=0\n" : L"=\n");
    EXPECT_EQ(SaveBag(m_control.get())->ToLines(), defaults);

    // Every entry with a value of its own (PARAM values arrive as text), through a bag and
    // back; a Korean text with a tab for each text entry.
    std::wstring lines, expected = L"_ExtentX=3175\n_ExtentY=794\n_StockProps=0\n_Version=65536\n";
    for (size_t i = 0; i < std::size(kPersisted); ++i) {
        std::wstring value = IsNumber(kPersisted[i]) ? std::to_wstring(i + 1) : L"값 " + std::to_wstring(i) + L"\\t끝";
        lines += NameOf(kPersisted[i]) + L"=" + value + L"\n";
        expected += NameOf(kPersisted[i]) + L"=" + value + L"\n";
    }
    LoadBag(lines);
    EXPECT_FALSE(Dirty()) << "loading runs no notify handler";
    fw::ComPtr<CPropertyBag> saved = SaveBag(m_control.get());
    EXPECT_EQ(saved->ToLines(), expected);
    for (const wchar_t* e : kPersisted) {
        fw::Variant v;
        ASSERT_HRESULT_SUCCEEDED(saved->Read(NameOf(e).c_str(), &v, nullptr));
        EXPECT_EQ(V_VT(&v), !IsNumber(e) ? VT_BSTR : wcsstr(e, L":I2") ? VT_I2 : VT_I4) << Narrow(NameOf(e));
    }
    // The persisted name of FolderName differs from the script name.
    EXPECT_EQ(Get(L"FolderName"), L"값 21\t끝");

    // A bag that names nothing (a page without PARAM tags) resets to the defaults.
    LoadBag(L"");
    EXPECT_EQ(SaveBag(m_control.get())->ToLines(), defaults);
}

TEST_F(ControlObjectTest, PropertyBagOfAnotherVersionStillLoadsWhatItNames) {
    LoadBag(L"_Version=131072\nstyle=3\nsubmitURL=http://h/s\nsize=abc\n");
    EXPECT_EQ(Get(L"style"), L"3");
    EXPECT_EQ(Get(L"submitURL"), L"http://h/s");
    EXPECT_EQ(Get(L"size"), L"0") << "a value that is no number takes the default";
    fw::Variant version;
    ASSERT_HRESULT_SUCCEEDED(SaveBag(m_control.get())->Read(L"_Version", &version, nullptr));
    EXPECT_EQ(V_I4(&version), 0x10000) << "what it saves is our own version";
}

TEST_F(ControlObjectTest, StreamAndStorageRoundTrips) {
    LoadBag(L"style=1\nsize=1024\naMode=2\nattachlist=가.doc\\tb.pdf\nAuth=Basic 한글\nSSL=1\n");
    std::wstring original = SaveBag(m_control.get())->ToLines();

    fw::ComPtr<IStream> stream;
    ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    ASSERT_HRESULT_SUCCEEDED(As<IPersistStreamInit>()->Save(stream.get(), TRUE));
    ULARGE_INTEGER max = {};
    ASSERT_HRESULT_SUCCEEDED(As<IPersistStreamInit>()->GetSizeMax(&max));
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(max.QuadPart, stat.cbSize.QuadPart);
    fw::ComPtr<IStorage> storage;
    ASSERT_HRESULT_SUCCEEDED(StgCreateDocfile(
        nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0, storage.put()));
    ASSERT_HRESULT_SUCCEEDED(As<IPersistStorage>()->Save(storage.get(), FALSE));

    for (bool fromStorage : {false, true}) {
        fw::ComPtr<IDispatch> copy;
        ASSERT_HRESULT_SUCCEEDED(m_ocx.CreateControl(IID_IDispatch, copy.put_void()));
        LARGE_INTEGER zero = {};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        ASSERT_HRESULT_SUCCEEDED(fromStorage ? As<IPersistStorage>(copy.get())->Load(storage.get())
                                             : As<IPersistStreamInit>(copy.get())->Load(stream.get()));
        EXPECT_EQ(SaveBag(copy.get())->ToLines(), original) << (fromStorage ? "storage" : "stream");
    }
}

TEST_F(ControlObjectTest, DamagedOrForeignStreamsChangeNothing) {
    LoadBag(L"strURL=keep me\nstyle=1\n");
    std::wstring before = SaveBag(m_control.get())->ToLines();
    fw::ComPtr<IStream> good;
    ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, good.put()));
    ASSERT_HRESULT_SUCCEEDED(As<IPersistStreamInit>()->Save(good.get(), FALSE));
    STATSTG stat = {};
    good->Stat(&stat, STATFLAG_NONAME);
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER zero = {};
    good->Seek(zero, STREAM_SEEK_SET, nullptr);
    good->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);

    auto load = [&](std::vector<BYTE> data) {
        fw::ComPtr<IStream> s;
        CreateStreamOnHGlobal(nullptr, TRUE, s.put());
        s->Write(data.data(), static_cast<ULONG>(data.size()), nullptr);
        s->Seek(zero, STREAM_SEEK_SET, nullptr);
        return As<IPersistStreamInit>()->Load(s.get());
    };
    // Cut short in the middle of the last text.
    EXPECT_TRUE(FAILED(load(std::vector<BYTE>(bytes.begin(), bytes.end() - 3))));
    // A text length far beyond what any stream holds.
    std::vector<BYTE> huge = bytes;
    huge.at(4) = huge.at(5) = huge.at(6) = 0xFF;
    huge.at(7) = 0x7F;
    EXPECT_TRUE(FAILED(load(huge)));
    // A layout of another major version.
    std::vector<BYTE> foreign = bytes;
    foreign[2] = 2;
    EXPECT_EQ(load(foreign), STG_E_OLDFORMAT);
    EXPECT_EQ(SaveBag(m_control.get())->ToLines(), before);
}

TEST_F(ControlObjectTest, PaintsItsBoundsInButtonFace) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 30);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 40, 30};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HGDIOBJ brushBefore = GetCurrentObject(dc, OBJ_BRUSH), penBefore = GetCurrentObject(dc, OBJ_PEN);
    RECTL bounds = {5, 5, 35, 25};
    fw::ComPtr<IViewObject2> view = As<IViewObject2>();
    ASSERT_HRESULT_SUCCEEDED(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0));
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    // The border is the same colour, and nothing outside the bounds is painted.
    EXPECT_EQ(GetPixel(dc, 5, 5), face);
    EXPECT_EQ(GetPixel(dc, 20, 15), face);
    EXPECT_EQ(GetPixel(dc, 34, 24), face);
    EXPECT_EQ(GetPixel(dc, 4, 4), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 35, 25), RGB(0, 0, 0));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brushBefore) << "the previous brush is back";
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), penBefore) << "the previous pen is back";
    EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0), DV_E_DVASPECT);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

}  // namespace
