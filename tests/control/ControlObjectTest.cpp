// The control object as containers and script engines see it: interfaces, dispatch
// rules, the modified flag and every persistence format.
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

// The persisted entries in the order they are exchanged, with their kinds.
const struct {
    const wchar_t* name;
    VARTYPE type;
} kPersisted[] = {
    {L"strURL", VT_BSTR},        {L"attachlist", VT_BSTR},    {L"recordkeylist", VT_BSTR},
    {L"attachSize", VT_BSTR},    {L"inlinekeylist", VT_BSTR}, {L"formsURL", VT_BSTR},
    {L"strobj", VT_BSTR},        {L"UploadURL", VT_BSTR},     {L"Auth", VT_BSTR},
    {L"strMsgInfo", VT_BSTR},    {L"submitURL", VT_BSTR},     {L"style", VT_I4},
    {L"size", VT_I4},            {L"objDataURL", VT_BSTR},    {L"objPostURL", VT_BSTR},
    {L"objClsURL", VT_BSTR},     {L"type", VT_BSTR},          {L"fburl", VT_BSTR},
    {L"adurl", VT_BSTR},         {L"subject", VT_BSTR},       {L"sqlfilepath", VT_BSTR},
    {L"folderName", VT_BSTR},    {L"UserID", VT_BSTR},        {L"UserPass", VT_BSTR},
    {L"UserName", VT_BSTR},      {L"UserDeptName", VT_BSTR},  {L"UserSabun", VT_BSTR},
    {L"UserIP", VT_BSTR},        {L"SenderID", VT_BSTR},      {L"MailSaveSQLServerUrl", VT_BSTR},
    {L"SignSaveSQLServerUrl", VT_BSTR}, {L"BatchURL", VT_BSTR}, {L"signFile", VT_BSTR},
    {L"ComposeBody", VT_BSTR},   {L"aMode", VT_I2},           {L"CompanyName", VT_BSTR},
    {L"GroupAcl", VT_BSTR},      {L"EngineURL", VT_BSTR},     {L"DocUploadUrl", VT_BSTR},
    {L"VedUveIP", VT_BSTR},      {L"FileSvrIP", VT_BSTR},     {L"EDMAttachDocLib", VT_BSTR},
    {L"LocalDefaultDir", VT_BSTR}, {L"CreateMailURL", VT_BSTR}, {L"CkServer", VT_BSTR},
    {L"EncFile", VT_I2},         {L"SSL", VT_I2},
};

std::string Narrow(const wchar_t* w) {
    std::string s;
    for (; *w; ++w) s += static_cast<char>(*w);
    return s;
}

// A value unique to each entry, Korean text included, tabs kept.
std::wstring SampleText(size_t i) { return L"값 " + std::to_wstring(i) + L"\t끝"; }

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

    HRESULT Put(const wchar_t* name, VARIANT value) {
        DISPID id = Id(name);
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params = {&value, &named, 1, 1};
        return m_control->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
    }
    std::wstring GetText(const wchar_t* name) {
        fw::Variant result;
        DISPPARAMS none = {};
        EXPECT_HRESULT_SUCCEEDED(
            m_control->Invoke(Id(name), IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
        VariantChangeType(&result, &result, 0, VT_BSTR);
        return V_BSTR(&result) ? V_BSTR(&result) : L"";
    }
    DISPID Id(const wchar_t* name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        m_control->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
        return id;
    }
    bool Dirty() {
        fw::ComPtr<IPersistStreamInit> persist;
        EXPECT_HRESULT_SUCCEEDED(m_control.As(&persist));
        return persist->IsDirty() == S_OK;
    }
    fw::ComPtr<CPropertyBag> SaveBag(IDispatch* control) {
        fw::ComPtr<IPersistPropertyBag> persist;
        EXPECT_HRESULT_SUCCEEDED(control->QueryInterface(IID_IPersistPropertyBag, persist.put_void()));
        auto bag = fw::ComPtr<CPropertyBag>::Attach(CPropertyBag::Create());
        EXPECT_HRESULT_SUCCEEDED(persist->Save(bag.get(), TRUE, TRUE));
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
                           &IID_IObjectSafety, &IID_ISpecifyPropertyPages, &IID_IOleWindow};
    fw::ComPtr<IUnknown> identity;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&identity));
    for (const IID* iid : wanted) {
        fw::ComPtr<IUnknown> itf;
        ASSERT_HRESULT_SUCCEEDED(m_control.As(*iid, itf.put_void()));
        fw::ComPtr<IUnknown> back;
        ASSERT_HRESULT_SUCCEEDED(itf.As(&back));
        EXPECT_EQ(back.get(), identity.get()) << "IUnknown identity";
    }
    fw::ComPtr<IDispatch> byDiid;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(DIID__DNvAtt, byDiid.put_void()));
    fw::ComPtr<IUnknown> none;
    EXPECT_EQ(m_control.As(IID_IPersistFile, none.put_void()), E_NOINTERFACE);

    fw::ComPtr<IOleObject> ole;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&ole));
    DWORD misc = 0;
    ASSERT_HRESULT_SUCCEEDED(ole->GetMiscStatus(DVASPECT_CONTENT, &misc));
    EXPECT_EQ(misc, 0x20191u);

    fw::ComPtr<IProvideClassInfo2> classInfo;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&classInfo));
    GUID events = GUID_NULL;
    ASSERT_HRESULT_SUCCEEDED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events));
    EXPECT_TRUE(IsEqualGUID(events, DIID__DNvAttEvents));
    fw::ComPtr<IConnectionPointContainer> points;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&points));
    fw::ComPtr<IConnectionPoint> point;
    EXPECT_HRESULT_SUCCEEDED(points->FindConnectionPoint(DIID__DNvAttEvents, point.put()));
    EXPECT_EQ(points->FindConnectionPoint(IID_IDispatch, point.put()), CONNECT_E_NOCONNECTION);

    fw::ComPtr<ISpecifyPropertyPages> pages;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&pages));
    CAUUID list = {};
    ASSERT_HRESULT_SUCCEEDED(pages->GetPages(&list));
    ASSERT_EQ(list.cElems, 1u);
    EXPECT_TRUE(IsEqualCLSID(list.pElems[0], CLSID_NvAttPropPage));
    CoTaskMemFree(list.pElems);
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
    VARIANT text;
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = SysAllocString(L"not a number");
    EXPECT_EQ(Put(L"style", text), DISP_E_TYPEMISMATCH);
    VariantClear(&text);
    EXPECT_EQ(GetText(L"style"), L"0");
    VARIANT number;
    V_VT(&number) = VT_BSTR;
    V_BSTR(&number) = SysAllocString(L"3");
    EXPECT_HRESULT_SUCCEEDED(Put(L"style", number));
    VariantClear(&number);
    EXPECT_EQ(GetText(L"style"), L"3");

    // A method whose work is not in this build fails with a description that names it.
    EXCEPINFO info = {};
    VARIANT folder;
    V_VT(&folder) = VT_BSTR;
    V_BSTR(&folder) = SysAllocString(L"inbox");
    DISPPARAMS one = {&folder, nullptr, 1, 0};
    EXPECT_EQ(m_control->Invoke(51, IID_NULL, 0, DISPATCH_METHOD, &one, &result, &info, nullptr),
              DISP_E_EXCEPTION);
    VariantClear(&folder);
    EXPECT_EQ(info.scode, E_NOTIMPL);
    ASSERT_NE(info.bstrDescription, nullptr);
    EXPECT_NE(std::wstring(info.bstrDescription).find(L"DoSaveListMailDB"), std::wstring::npos);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
}

TEST_F(ControlObjectTest, OnlyNotifyPropertiesMarkTheControlModified) {
    fw::ComPtr<IPersistStreamInit> persist;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&persist));
    ASSERT_HRESULT_SUCCEEDED(persist->InitNew());
    const wchar_t* plain[] = {L"strURL", L"formsURL", L"strobj", L"submitURL", L"type", L"sqlfilepath",
                              L"FolderName", L"UserID", L"MailSaveSQLServerUrl", L"signFile",
                              L"SignSaveSQLServerUrl"};
    const wchar_t* notify[] = {L"SenderID", L"PostURL", L"Response", L"RecpType", L"ComposeBody",
                               L"attachlist", L"attachSize", L"recordkeylist", L"strMsgInfo", L"fburl",
                               L"objDataURL", L"inlinekeylist", L"objPostURL", L"subject", L"objClsURL"};
    for (const wchar_t* name : plain) {
        VARIANT v;
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = SysAllocString(L"x");
        EXPECT_HRESULT_SUCCEEDED(Put(name, v));
        VariantClear(&v);
        EXPECT_FALSE(Dirty()) << Narrow(name);
    }
    for (const wchar_t* name : notify) {
        ASSERT_HRESULT_SUCCEEDED(persist->InitNew());
        ASSERT_FALSE(Dirty());
        VARIANT v;
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = SysAllocString(L"x");
        EXPECT_HRESULT_SUCCEEDED(Put(name, v));
        VariantClear(&v);
        EXPECT_TRUE(Dirty()) << Narrow(name);
    }
}

TEST_F(ControlObjectTest, PropertyBagSavesEveryEntryInOrderAndLoadsDefaults) {
    fw::ComPtr<IPersistPropertyBag> persist;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&persist));
    ASSERT_HRESULT_SUCCEEDED(persist->InitNew());
    fw::ComPtr<CPropertyBag> bag = SaveBag(m_control.get());
    std::wstring lines = bag->ToLines();

    std::wstring expected = L"_ExtentX=3175\n_ExtentY=794\n_StockProps=0\n_Version=65536\n";
    for (const auto& e : kPersisted) expected += std::wstring(e.name) + (e.type == VT_BSTR ? L"=\n" : L"=0\n");
    EXPECT_EQ(lines, expected);

    // Every entry with a value of its own, through a bag and back into a new control.
    auto filled = fw::ComPtr<CPropertyBag>::Attach(CPropertyBag::Create());
    for (size_t i = 0; i < std::size(kPersisted); ++i) {
        VARIANT v;
        VariantInit(&v);
        if (kPersisted[i].type == VT_BSTR) {
            V_VT(&v) = VT_BSTR;
            V_BSTR(&v) = SysAllocString(SampleText(i).c_str());
        } else {
            V_VT(&v) = VT_BSTR;  // PARAM values arrive as text
            V_BSTR(&v) = SysAllocString(std::to_wstring(i + 1).c_str());
        }
        filled->Write(kPersisted[i].name, &v);
        VariantClear(&v);
    }
    ASSERT_HRESULT_SUCCEEDED(persist->Load(filled.get(), nullptr));
    EXPECT_FALSE(Dirty()) << "loading runs no notify handler";
    fw::ComPtr<CPropertyBag> saved = SaveBag(m_control.get());
    for (size_t i = 0; i < std::size(kPersisted); ++i) {
        VARIANT v;
        VariantInit(&v);
        ASSERT_HRESULT_SUCCEEDED(saved->Read(kPersisted[i].name, &v, nullptr)) << Narrow(kPersisted[i].name);
        EXPECT_EQ(V_VT(&v), kPersisted[i].type) << Narrow(kPersisted[i].name);
        VariantChangeType(&v, &v, 0, VT_BSTR);
        std::wstring want = kPersisted[i].type == VT_BSTR ? SampleText(i) : std::to_wstring(i + 1);
        EXPECT_EQ(std::wstring(V_BSTR(&v)), want) << Narrow(kPersisted[i].name);
        VariantClear(&v);
    }
    // The persisted name of FolderName differs from the script name.
    EXPECT_EQ(GetText(L"FolderName"), SampleText(21));

    // A bag that names nothing (a page without PARAM tags) resets to the defaults.
    auto empty = fw::ComPtr<CPropertyBag>::Attach(CPropertyBag::Create());
    ASSERT_HRESULT_SUCCEEDED(persist->Load(empty.get(), nullptr));
    EXPECT_EQ(SaveBag(m_control.get())->ToLines(), expected);
}

TEST_F(ControlObjectTest, PropertyBagOfAnotherVersionStillLoadsWhatItNames) {
    fw::ComPtr<IPersistPropertyBag> persist;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&persist));
    auto bag = fw::ComPtr<CPropertyBag>::Attach(CPropertyBag::Create());
    bag->ParseLines(L"_Version=131072\nstyle=3\nsubmitURL=http://h/s\nsize=abc\n");
    ASSERT_HRESULT_SUCCEEDED(persist->Load(bag.get(), nullptr));
    EXPECT_EQ(GetText(L"style"), L"3");
    EXPECT_EQ(GetText(L"submitURL"), L"http://h/s");
    EXPECT_EQ(GetText(L"size"), L"0") << "a value that is no number takes the default";
    // What it saves is our own version.
    VARIANT v;
    VariantInit(&v);
    ASSERT_HRESULT_SUCCEEDED(SaveBag(m_control.get())->Read(L"_Version", &v, nullptr));
    EXPECT_EQ(V_I4(&v), 0x10000);
}

TEST_F(ControlObjectTest, StreamAndStorageRoundTrips) {
    fw::ComPtr<IPersistStreamInit> persist;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&persist));
    auto bag = fw::ComPtr<CPropertyBag>::Attach(CPropertyBag::Create());
    bag->ParseLines(L"style=1\nsize=1024\naMode=2\nattachlist=가.doc\\tb.pdf\nAuth=Basic 한글\nSSL=1\n");
    fw::ComPtr<IPersistPropertyBag> bagPersist;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&bagPersist));
    ASSERT_HRESULT_SUCCEEDED(bagPersist->Load(bag.get(), nullptr));
    std::wstring original = SaveBag(m_control.get())->ToLines();

    fw::ComPtr<IStream> stream;
    ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    ASSERT_HRESULT_SUCCEEDED(persist->Save(stream.get(), TRUE));
    ULARGE_INTEGER max = {};
    ASSERT_HRESULT_SUCCEEDED(persist->GetSizeMax(&max));
    STATSTG stat = {};
    stream->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(max.QuadPart, stat.cbSize.QuadPart);

    fw::ComPtr<IDispatch> copy;
    ASSERT_HRESULT_SUCCEEDED(m_ocx.CreateControl(IID_IDispatch, copy.put_void()));
    fw::ComPtr<IPersistStreamInit> copyPersist;
    ASSERT_HRESULT_SUCCEEDED(copy.As(&copyPersist));
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ASSERT_HRESULT_SUCCEEDED(copyPersist->Load(stream.get()));
    EXPECT_EQ(SaveBag(copy.get())->ToLines(), original);

    fw::ComPtr<IStorage> storage;
    ASSERT_HRESULT_SUCCEEDED(StgCreateDocfile(
        nullptr, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE, 0, storage.put()));
    fw::ComPtr<IPersistStorage> storagePersist;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&storagePersist));
    ASSERT_HRESULT_SUCCEEDED(storagePersist->Save(storage.get(), FALSE));
    fw::ComPtr<IDispatch> third;
    ASSERT_HRESULT_SUCCEEDED(m_ocx.CreateControl(IID_IDispatch, third.put_void()));
    fw::ComPtr<IPersistStorage> thirdPersist;
    ASSERT_HRESULT_SUCCEEDED(third.As(&thirdPersist));
    ASSERT_HRESULT_SUCCEEDED(thirdPersist->Load(storage.get()));
    EXPECT_EQ(SaveBag(third.get())->ToLines(), original);
}

TEST_F(ControlObjectTest, DamagedOrForeignStreamsChangeNothing) {
    fw::ComPtr<IPersistStreamInit> persist;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&persist));
    auto bag = fw::ComPtr<CPropertyBag>::Attach(CPropertyBag::Create());
    bag->ParseLines(L"strURL=keep me\nstyle=1\n");
    fw::ComPtr<IPersistPropertyBag> bagPersist;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&bagPersist));
    ASSERT_HRESULT_SUCCEEDED(bagPersist->Load(bag.get(), nullptr));
    std::wstring before = SaveBag(m_control.get())->ToLines();

    fw::ComPtr<IStream> good;
    ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, good.put()));
    ASSERT_HRESULT_SUCCEEDED(persist->Save(good.get(), FALSE));
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
        fw::ComPtr<IDispatch> fresh;
        return persist->Load(s.get());
    };
    // Cut short in the middle of the last text.
    std::vector<BYTE> cut(bytes.begin(), bytes.end() - 3);
    EXPECT_TRUE(FAILED(load(cut)));
    // A text length far beyond what any stream holds.
    std::vector<BYTE> huge = bytes;
    huge[4] = huge[5] = huge[6] = 0xFF;
    huge[7] = 0x7F;
    EXPECT_TRUE(FAILED(load(huge)));
    // A layout of another major version.
    std::vector<BYTE> foreign = bytes;
    foreign[2] = 2;
    EXPECT_EQ(load(foreign), STG_E_OLDFORMAT);

    EXPECT_EQ(SaveBag(m_control.get())->ToLines(), before);
}

}  // namespace

namespace {

TEST_F(ControlObjectTest, PaintsItsBoundsInButtonFace) {
    fw::ComPtr<IViewObject2> view;
    ASSERT_HRESULT_SUCCEEDED(m_control.As(&view));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 30);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 40, 30};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HGDIOBJ brushBefore = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ penBefore = GetCurrentObject(dc, OBJ_PEN);
    RECTL bounds = {5, 5, 35, 25};
    ASSERT_HRESULT_SUCCEEDED(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                                        nullptr, 0));
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(GetPixel(dc, 5, 5), face) << "the border is the same colour";
    EXPECT_EQ(GetPixel(dc, 20, 15), face);
    EXPECT_EQ(GetPixel(dc, 34, 24), face);
    EXPECT_EQ(GetPixel(dc, 4, 4), RGB(0, 0, 0)) << "nothing outside the bounds";
    EXPECT_EQ(GetPixel(dc, 35, 25), RGB(0, 0, 0));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brushBefore) << "the previous brush is back";
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), penBefore) << "the previous pen is back";
    EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
              DV_E_DVASPECT);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

}  // namespace
