// The type library embedded in NVATT.OCX, read back through ITypeLib/ITypeInfo, against
// the script interface pages are written for.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "control/NvAttIds.h"
#include "framework/ComPtr.h"
#include "tests/control/OcxModule.h"

namespace {

struct Param {
    // Null where the interface leaves the parameter unnamed: widl then writes a
    // placeholder name of its own, which no script can rely on.
    const wchar_t* name;
    VARTYPE type;
};

struct Member {
    DISPID id;
    const wchar_t* name;
    VARTYPE type;  // property type or method result
    std::vector<Param> params;
};

// ASCII member names for test messages.
std::string Narrow(const wchar_t* w) {
    std::string s;
    for (; *w; ++w) s += static_cast<char>(*w);
    return s;
}

const VARTYPE S = VT_BSTR, L = VT_I4, I2 = VT_I2, V = VT_VOID, B = VT_BOOL, VAR = VT_VARIANT;

const Member kProperties[] = {
    {1, L"strURL", S, {}},          {2, L"formsURL", S, {}},        {3, L"strobj", S, {}},
    {4, L"submitURL", S, {}},       {5, L"style", L, {}},           {6, L"size", L, {}},
    {7, L"type", S, {}},            {8, L"sqlfilepath", S, {}},     {9, L"FolderName", S, {}},
    {10, L"UserID", S, {}},         {11, L"MailSaveSQLServerUrl", S, {}},
    {12, L"signFile", S, {}},       {13, L"SignSaveSQLServerUrl", S, {}},
    {14, L"SenderID", S, {}},       {15, L"PostURL", S, {}},        {16, L"Response", S, {}},
    {17, L"RecpType", S, {}},       {18, L"ComposeBody", S, {}},    {19, L"attachlist", S, {}},
    {20, L"attachSize", S, {}},     {21, L"recordkeylist", S, {}},  {22, L"strMsgInfo", S, {}},
    {23, L"fburl", S, {}},          {24, L"objDataURL", S, {}},     {25, L"inlinekeylist", S, {}},
    {26, L"objPostURL", S, {}},     {27, L"subject", S, {}},        {28, L"objClsURL", S, {}},
};

const Member kMethods[] = {
    {29, L"DoAddAttach", S, {{L"filepath", S}}},
    {30, L"DoAttachAdd", L, {}},
    {31, L"DoAttachDirect", L, {{L"szPath", S}}},
    {32, L"DoClear", V, {}},
    {33, L"DoSubmit", V, {}},
    {34, L"DoField", V, {{L"szName", S}, {L"szVal", S}}},
    {35, L"DoVariant", V, {{L"szName", VAR}, {L"szVal", VAR}}},
    {36, L"SendClear", V, {}},
    {37, L"SendSubmit", V, {}},
    {38, L"SendField", V, {{L"szName", S}, {L"szVal", S}}},
    {39, L"DoFile", V, {{L"szName", S}, {L"szVal", S}, {L"szPos", I2}}},
    {40, L"DownLoadAttach", V, {{L"strFileName", S}, {L"cRecordKey", I2}}},
    {41, L"DownLoadFile", V, {{L"strFileName", S}, {L"cRecordKey", I2}}},
    {42, L"DownLoadSignAttach", V, {{L"strFileName", S}, {L"cRecordKey", S}}},
    {43, L"DownLoadSignFile", V, {{L"strFileName", S}, {L"cRecordKey", S}}},
    {44, L"DoAttachAddFile", L, {}},
    {45, L"LocalSave", V, {{L"strtitle", S}}},
    {46, L"LocalSaveCompose", V, {{L"strtitle", S}}},
    {47, L"DoSignStatus", V, {{nullptr, S}}},
    {48, L"DoSendNowFax", V, {{L"szFax", S}}},
    {49, L"DoInsertHTML", S, {}},
    {50, L"DoExe", B, {{L"szPath", S}}},
    {51, L"DoSaveListMailDB", V, {{L"strFolID", S}}},
    {52, L"DoSaveMsg", S, {{L"strFilePath", S}}},
    {53, L"DoSaveFileToServer", S, {{L"strFilePath", S}}},
    {54, L"DoGetAttach", S, {}},
    {55, L"DoGetDeleteAttach", S, {}},
    {56, L"DoSaveListSignDB", V, {{L"strFolID", S}}},
    {57, L"DoOpenSaveSign", V, {{L"szID", S}}},
    {58, L"DoSaveEDM", B, {{L"szFileURL", S}, {L"szWebURL", S}, {L"szMsgIDs", S}, {L"szType", S}}},
    {59, L"DoEDM", B, {{L"szFileURL", S}, {L"szWebURL", S}}},
    {60, L"DoSaveLocal", B, {{L"szMsgIDs", S}, {L"szType", S}}},
    {61, L"DoCheckTCA", S, {{L"szETC", S}}},
    {62, L"DoCheckDTA", L, {}},
    {63, L"DoChangeEDMProfile", B, {{L"szDST", S}, {L"szLibrary", S}, {L"fUpload", B}, {L"szReserved", S}}},
    {64, L"DoCallMsg", B, {}},
    {65, L"DoCall", B, {}},
    {66, L"DoEDMAttachObject", B, {{L"szLibName", S}, {L"szDST", S}}},
    {67, L"DoShowDodud", V, {}},
    {68, L"DoSaveBatchMail", B, {{L"szMsgIDs", S}, {L"szType", S}, {L"szStart", S}, {L"szEnd", S}}},
    {69, L"DoSetLocalPath", S, {{L"strPath", S}}},
    {70, L"UploadEMLToServer", B, {{L"strPath", S}}},
    {71, L"DoSetProcess", V, {}},
    {72, L"DoDetachProcess", V, {}},
    {73, L"DoSetLoginINI", V, {}},
    {74, L"DoShowAttDlg", V, {}},
    {75, L"LocalTempSave", S, {{nullptr, S}}},
    {-552, L"AboutBox", V, {}},
};

const Member kEvents[] = {
    {1, L"ResolveComplete", V, {{L"lptype", S}}},
    {2, L"ShowAttach", V, {{L"isshow", I2}}},
    {3, L"DelFiles", V, {{L"szFiles", S}}},
    {4, L"Close", V, {}},
    {5, L"EvClickSendFax", V, {{L"szParam", S}}},
    {6, L"SetDBBody", V, {{L"szBody", VAR}, {L"szTo", S}, {L"szCc", S}, {L"szHaveAtt", I2}}},
    {7, L"EvOpenKMInsertDlg", V, {{L"szTitle", S}, {L"szBodyFile", S}, {L"szAttCnt", S}, {L"szAtts", S}}},
    {8, L"EvCallConference", V, {{L"szCaller", S}, {L"szCallee", S}, {L"szPath", S}}},
};

class TypeLibTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(OcxPath(), REGKIND_NONE, m_lib.put()));
    }

    std::wstring Doc(ITypeInfo* info) {
        BSTR doc = nullptr;
        info->GetDocumentation(MEMBERID_NIL, nullptr, &doc, nullptr, nullptr);
        std::wstring text = doc ? doc : L"";
        SysFreeString(doc);
        return text;
    }

    // Names of a function: the member itself, then its parameters.
    std::vector<std::wstring> Names(ITypeInfo* info, MEMBERID id) {
        BSTR names[16] = {};
        UINT count = 0;
        info->GetNames(id, names, 16, &count);
        std::vector<std::wstring> out;
        for (UINT i = 0; i < count; ++i) {
            out.push_back(names[i] ? names[i] : L"");
            SysFreeString(names[i]);
        }
        return out;
    }

    void ExpectMethods(ITypeInfo* info, const Member* begin, const Member* end) {
        TYPEATTR* attr = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
        EXPECT_EQ(attr->cFuncs, end - begin);
        info->ReleaseTypeAttr(attr);
        for (const Member* m = begin; m != end; ++m) {
            SCOPED_TRACE(testing::Message() << "method " << Narrow(m->name));
            bool found = false;
            for (UINT i = 0; !found; ++i) {
                FUNCDESC* func = nullptr;
                if (FAILED(info->GetFuncDesc(i, &func))) break;
                if (func->memid == m->id) {
                    found = true;
                    EXPECT_EQ(func->funckind, FUNC_DISPATCH);
                    EXPECT_EQ(func->invkind, INVOKE_FUNC);
                    EXPECT_EQ(func->elemdescFunc.tdesc.vt, m->type);
                    ASSERT_EQ(static_cast<size_t>(func->cParams), m->params.size());
                    for (size_t p = 0; p < m->params.size(); ++p)
                        EXPECT_EQ(func->lprgelemdescParam[p].tdesc.vt, m->params[p].type) << "parameter " << p;
                    std::vector<std::wstring> names = Names(info, m->id);
                    ASSERT_FALSE(names.empty());
                    EXPECT_EQ(names[0], m->name);
                    for (size_t p = 0; p < m->params.size(); ++p) {
                        if (!m->params[p].name) continue;
                        std::wstring actual = p + 1 < names.size() ? names[p + 1] : L"";
                        EXPECT_EQ(actual, m->params[p].name) << "parameter " << p;
                    }
                }
                info->ReleaseFuncDesc(func);
            }
            EXPECT_TRUE(found);
        }
    }

    fw::ComPtr<ITypeLib> m_lib;
};

TEST_F(TypeLibTest, LibraryIdentity) {
    TLIBATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(m_lib->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_NVATTLib));
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    m_lib->ReleaseTLibAttr(attr);

    BSTR name = nullptr, doc = nullptr, help = nullptr;
    ASSERT_HRESULT_SUCCEEDED(m_lib->GetDocumentation(-1, &name, &doc, nullptr, &help));
    EXPECT_STREQ(name, L"NVATTLib");
    EXPECT_STREQ(doc, L"NvAtt ActiveX Control module");
    ASSERT_NE(help, nullptr);
    std::wstring helpFile = help;
    ASSERT_GE(helpFile.size(), 9u);
    EXPECT_EQ(helpFile.substr(helpFile.size() - 9), L"NvAtt.hlp");
    SysFreeString(name);
    SysFreeString(doc);
    SysFreeString(help);
}

TEST_F(TypeLibTest, DispatchInterfaceProperties) {
    fw::ComPtr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(m_lib->GetTypeInfoOfGuid(DIID__DNvAtt, info.put()));
    EXPECT_EQ(Doc(info.get()), L"Dispatch interface for NvAtt Control");
    TYPEATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    EXPECT_EQ(attr->cVars, 28);
    info->ReleaseTypeAttr(attr);
    for (const Member& p : kProperties) {
        SCOPED_TRACE(testing::Message() << "property " << Narrow(p.name));
        bool found = false;
        for (UINT i = 0; !found; ++i) {
            VARDESC* var = nullptr;
            if (FAILED(info->GetVarDesc(i, &var))) break;
            if (var->memid == p.id) {
                found = true;
                EXPECT_EQ(var->varkind, VAR_DISPATCH);
                EXPECT_EQ(var->elemdescVar.tdesc.vt, p.type);
                EXPECT_EQ(Names(info.get(), p.id).at(0), p.name);
            }
            info->ReleaseVarDesc(var);
        }
        EXPECT_TRUE(found);
    }
}

TEST_F(TypeLibTest, DispatchInterfaceMethods) {
    fw::ComPtr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(m_lib->GetTypeInfoOfGuid(DIID__DNvAtt, info.put()));
    ExpectMethods(info.get(), std::begin(kMethods), std::end(kMethods));
}

TEST_F(TypeLibTest, EventInterface) {
    fw::ComPtr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(m_lib->GetTypeInfoOfGuid(DIID__DNvAttEvents, info.put()));
    EXPECT_EQ(Doc(info.get()), L"Event interface for NvAtt Control");
    ExpectMethods(info.get(), std::begin(kEvents), std::end(kEvents));
}

TEST_F(TypeLibTest, ControlClassNamesBothInterfaces) {
    fw::ComPtr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(m_lib->GetTypeInfoOfGuid(CLSID_NvAtt, info.put()));
    EXPECT_EQ(Doc(info.get()), L"NvAtt Control");
    TYPEATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCONTROL);
    ASSERT_EQ(attr->cImplTypes, 2);
    info->ReleaseTypeAttr(attr);
    bool sawDefault = false, sawSource = false;
    for (UINT i = 0; i < 2; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        fw::ComPtr<ITypeInfo> impl;
        ASSERT_HRESULT_SUCCEEDED(info->GetImplTypeFlags(i, &flags));
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeOfImplType(i, &ref));
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeInfo(ref, impl.put()));
        TYPEATTR* implAttr = nullptr;
        impl->GetTypeAttr(&implAttr);
        if (flags & IMPLTYPEFLAG_FSOURCE) {
            sawSource = IsEqualGUID(implAttr->guid, DIID__DNvAttEvents) && (flags & IMPLTYPEFLAG_FDEFAULT);
        } else {
            sawDefault = IsEqualGUID(implAttr->guid, DIID__DNvAtt) && (flags & IMPLTYPEFLAG_FDEFAULT);
        }
        impl->ReleaseTypeAttr(implAttr);
    }
    EXPECT_TRUE(sawDefault);
    EXPECT_TRUE(sawSource);
}

// Every name of the type library reaches the same dispid through the control's own
// GetIDsOfNames, in any letter case, as script engines look them up.
TEST(DispatchTable, MatchesTypeLibrary) {
    OcxModule ocx;
    ASSERT_TRUE(ocx.loaded());
    fw::ComPtr<IDispatch> control;
    ASSERT_HRESULT_SUCCEEDED(ocx.CreateControl(IID_IDispatch, control.put_void()));
    auto check = [&](const Member& m) {
        std::wstring upper = m.name;
        for (wchar_t& c : upper) c = towupper(c);
        for (const std::wstring& name : {std::wstring(m.name), upper}) {
            LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
            DISPID id = 0;
            EXPECT_HRESULT_SUCCEEDED(control->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
            EXPECT_EQ(id, m.id) << Narrow(m.name);
        }
    };
    for (const Member& m : kProperties) check(m);
    for (const Member& m : kMethods) check(m);
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
    DISPID id = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

}  // namespace
