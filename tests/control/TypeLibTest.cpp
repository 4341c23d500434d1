// The type library embedded in NVATT.OCX, read back through ITypeLib/ITypeInfo, against
// the script interface pages are written for, and the control's own dispatch table.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "control/NvAttIds.h"
#include "framework/ComPtr.h"
#include "tests/control/OcxModule.h"

namespace {

// Every member as "dispid name(type name, ...) result"; a parameter the interface leaves
// unnamed shows as "?" (widl writes a placeholder name of its own that no script can
// rely on). Properties are "dispid name type".
const char* const kDispatch[] = {
    "1 strURL BSTR", "2 formsURL BSTR", "3 strobj BSTR", "4 submitURL BSTR", "5 style I4", "6 size I4",
    "7 type BSTR", "8 sqlfilepath BSTR", "9 FolderName BSTR", "10 UserID BSTR", "11 MailSaveSQLServerUrl BSTR",
    "12 signFile BSTR", "13 SignSaveSQLServerUrl BSTR", "14 SenderID BSTR", "15 PostURL BSTR",
    "16 Response BSTR", "17 RecpType BSTR", "18 ComposeBody BSTR", "19 attachlist BSTR", "20 attachSize BSTR",
    "21 recordkeylist BSTR", "22 strMsgInfo BSTR", "23 fburl BSTR", "24 objDataURL BSTR",
    "25 inlinekeylist BSTR", "26 objPostURL BSTR", "27 subject BSTR", "28 objClsURL BSTR",
    "29 DoAddAttach(BSTR filepath) BSTR",
    "30 DoAttachAdd() I4",
    "31 DoAttachDirect(BSTR szPath) I4",
    "32 DoClear() VOID",
    "33 DoSubmit() VOID",
    "34 DoField(BSTR szName, BSTR szVal) VOID",
    "35 DoVariant(VARIANT szName, VARIANT szVal) VOID",
    "36 SendClear() VOID",
    "37 SendSubmit() VOID",
    "38 SendField(BSTR szName, BSTR szVal) VOID",
    "39 DoFile(BSTR szName, BSTR szVal, I2 szPos) VOID",
    "40 DownLoadAttach(BSTR strFileName, I2 cRecordKey) VOID",
    "41 DownLoadFile(BSTR strFileName, I2 cRecordKey) VOID",
    "42 DownLoadSignAttach(BSTR strFileName, BSTR cRecordKey) VOID",
    "43 DownLoadSignFile(BSTR strFileName, BSTR cRecordKey) VOID",
    "44 DoAttachAddFile() I4",
    "45 LocalSave(BSTR strtitle) VOID",
    "46 LocalSaveCompose(BSTR strtitle) VOID",
    "47 DoSignStatus(BSTR ?) VOID",
    "48 DoSendNowFax(BSTR szFax) VOID",
    "49 DoInsertHTML() BSTR",
    "50 DoExe(BSTR szPath) BOOL",
    "51 DoSaveListMailDB(BSTR strFolID) VOID",
    "52 DoSaveMsg(BSTR strFilePath) BSTR",
    "53 DoSaveFileToServer(BSTR strFilePath) BSTR",
    "54 DoGetAttach() BSTR",
    "55 DoGetDeleteAttach() BSTR",
    "56 DoSaveListSignDB(BSTR strFolID) VOID",
    "57 DoOpenSaveSign(BSTR szID) VOID",
    "58 DoSaveEDM(BSTR szFileURL, BSTR szWebURL, BSTR szMsgIDs, BSTR szType) BOOL",
    "59 DoEDM(BSTR szFileURL, BSTR szWebURL) BOOL",
    "60 DoSaveLocal(BSTR szMsgIDs, BSTR szType) BOOL",
    "61 DoCheckTCA(BSTR szETC) BSTR",
    "62 DoCheckDTA() I4",
    "63 DoChangeEDMProfile(BSTR szDST, BSTR szLibrary, BOOL fUpload, BSTR szReserved) BOOL",
    "64 DoCallMsg() BOOL",
    "65 DoCall() BOOL",
    "66 DoEDMAttachObject(BSTR szLibName, BSTR szDST) BOOL",
    "67 DoShowDodud() VOID",
    "68 DoSaveBatchMail(BSTR szMsgIDs, BSTR szType, BSTR szStart, BSTR szEnd) BOOL",
    "69 DoSetLocalPath(BSTR strPath) BSTR",
    "70 UploadEMLToServer(BSTR strPath) BOOL",
    "71 DoSetProcess() VOID",
    "72 DoDetachProcess() VOID",
    "73 DoSetLoginINI() VOID",
    "74 DoShowAttDlg() VOID",
    "75 LocalTempSave(BSTR ?) BSTR",
    "-552 AboutBox() VOID",
};

const char* const kEvents[] = {
    "1 ResolveComplete(BSTR lptype) VOID",
    "2 ShowAttach(I2 isshow) VOID",
    "3 DelFiles(BSTR szFiles) VOID",
    "4 Close() VOID",
    "5 EvClickSendFax(BSTR szParam) VOID",
    "6 SetDBBody(VARIANT szBody, BSTR szTo, BSTR szCc, I2 szHaveAtt) VOID",
    "7 EvOpenKMInsertDlg(BSTR szTitle, BSTR szBodyFile, BSTR szAttCnt, BSTR szAtts) VOID",
    "8 EvCallConference(BSTR szCaller, BSTR szCallee, BSTR szPath) VOID",
};

std::string TypeName(VARTYPE vt) {
    switch (vt) {
    case VT_BSTR: return "BSTR";
    case VT_I4: return "I4";
    case VT_I2: return "I2";
    case VT_BOOL: return "BOOL";
    case VT_VARIANT: return "VARIANT";
    case VT_VOID: return "VOID";
    default: return "vt" + std::to_string(vt);
    }
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::vector<std::string> Names(ITypeInfo* info, MEMBERID id) {
    BSTR names[16] = {};
    UINT count = 0;
    info->GetNames(id, names, 16, &count);
    std::vector<std::string> out;
    for (UINT i = 0; i < count; ++i) {
        out.push_back(Narrow(names[i] ? names[i] : L""));
        SysFreeString(names[i]);
    }
    return out;
}

// The members of a dispatch interface in the form of the tables above, in table order.
std::vector<std::string> Members(ITypeInfo* info, const std::vector<std::string>& unnamed) {
    TYPEATTR* attr = nullptr;
    EXPECT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    std::vector<std::string> out;
    for (UINT i = 0; i < attr->cVars; ++i) {
        VARDESC* var = nullptr;
        info->GetVarDesc(i, &var);
        EXPECT_EQ(var->varkind, VAR_DISPATCH);
        out.push_back(std::to_string(var->memid) + " " + Names(info, var->memid).at(0) + " " +
                      TypeName(var->elemdescVar.tdesc.vt));
        info->ReleaseVarDesc(var);
    }
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* func = nullptr;
        info->GetFuncDesc(i, &func);
        EXPECT_EQ(func->funckind, FUNC_DISPATCH);
        EXPECT_EQ(func->invkind, INVOKE_FUNC);
        std::vector<std::string> names = Names(info, func->memid);
        std::string text = std::to_string(func->memid) + " " + names.at(0) + "(";
        for (SHORT p = 0; p < func->cParams; ++p) {
            bool placeholder = std::find(unnamed.begin(), unnamed.end(), names[0]) != unnamed.end();
            text += std::string(p ? ", " : "") + TypeName(func->lprgelemdescParam[p].tdesc.vt) + " " +
                    (placeholder || static_cast<size_t>(p + 1) >= names.size() ? "?" : names[p + 1]);
        }
        out.push_back(text + ") " + TypeName(func->elemdescFunc.tdesc.vt));
        info->ReleaseFuncDesc(func);
    }
    info->ReleaseTypeAttr(attr);
    return out;
}

class TypeLibTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(OcxPath(), REGKIND_NONE, m_lib.put())); }

    fw::ComPtr<ITypeLib> m_lib;
};

TEST_F(TypeLibTest, LibraryInterfacesAndClass) {
    TLIBATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(m_lib->GetLibAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_NVATTLib));
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    m_lib->ReleaseTLibAttr(attr);
    BSTR name = nullptr;
    ASSERT_HRESULT_SUCCEEDED(m_lib->GetDocumentation(-1, &name, nullptr, nullptr, nullptr));
    EXPECT_STREQ(name, L"NVATTLib");
    SysFreeString(name);

    // The control class: a control whose default interface is _DNvAtt and whose default
    // source is _DNvAttEvents.
    fw::ComPtr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(m_lib->GetTypeInfoOfGuid(CLSID_NvAtt, info.put()));
    TYPEATTR* type = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&type));
    EXPECT_EQ(type->typekind, TKIND_COCLASS);
    EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FCONTROL);
    ASSERT_EQ(type->cImplTypes, 2);
    info->ReleaseTypeAttr(type);
    std::set<std::pair<int, std::wstring>> implemented;
    for (UINT i = 0; i < 2; ++i) {
        INT flags = 0;
        HREFTYPE ref = 0;
        fw::ComPtr<ITypeInfo> impl;
        ASSERT_HRESULT_SUCCEEDED(info->GetImplTypeFlags(i, &flags));
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeOfImplType(i, &ref));
        ASSERT_HRESULT_SUCCEEDED(info->GetRefTypeInfo(ref, impl.put()));
        BSTR implName = nullptr;
        impl->GetDocumentation(MEMBERID_NIL, &implName, nullptr, nullptr, nullptr);
        implemented.insert({flags, implName});
        SysFreeString(implName);
    }
    EXPECT_EQ(implemented, (std::set<std::pair<int, std::wstring>>{
                               {IMPLTYPEFLAG_FDEFAULT, L"_DNvAtt"},
                               {IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE, L"_DNvAttEvents"}}));
}

TEST_F(TypeLibTest, DispatchAndEventInterfacesAsPagesUseThem) {
    for (bool events : {false, true}) {
        fw::ComPtr<ITypeInfo> info;
        ASSERT_HRESULT_SUCCEEDED(m_lib->GetTypeInfoOfGuid(events ? DIID__DNvAttEvents : DIID__DNvAtt, info.put()));
        std::vector<std::string> expected = events ? std::vector<std::string>(std::begin(kEvents), std::end(kEvents))
                                                   : std::vector<std::string>(std::begin(kDispatch), std::end(kDispatch));
        EXPECT_EQ(Members(info.get(), {"DoSignStatus", "LocalTempSave"}), expected);
    }
}

// Every name of the type library reaches the same dispid through the control's own
// GetIDsOfNames, in any letter case, as script engines look them up.
TEST_F(TypeLibTest, TheControlsDispatchTableAgreesWithIt) {
    OcxModule ocx;
    ASSERT_TRUE(ocx.loaded());
    fw::ComPtr<IDispatch> control;
    ASSERT_HRESULT_SUCCEEDED(ocx.CreateControl(IID_IDispatch, control.put_void()));
    for (const char* member : kDispatch) {
        std::string text = member;
        size_t space = text.find(' ');
        std::string name = text.substr(space + 1, text.find_first_of(" (", space + 1) - space - 1);
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(toupper(c));
        for (const std::string& spelling : {name, upper}) {
            std::wstring wide(spelling.begin(), spelling.end());
            LPOLESTR names[] = {&wide[0]};
            DISPID id = 0;
            EXPECT_HRESULT_SUCCEEDED(control->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
            EXPECT_EQ(id, std::stol(text)) << spelling;
        }
    }
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
    DISPID id = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

}  // namespace
