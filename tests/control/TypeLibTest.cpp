// The type library embedded in NVATT.OCX, read back through ITypeLib/ITypeInfo, against
// the script interface pages are written for, and the control's own dispatch table.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <set>
#include <string>
#include <vector>

#include "control/NvAttIds.h"
#include "framework/ComPtr.h"
#include "framework/Text.h"
#include "tests/control/OcxModule.h"

namespace {

std::wstring MemberName(ITypeInfo* info, MEMBERID id) {
    BSTR name = nullptr;
    UINT count = 0;
    info->GetNames(id, &name, 1, &count);
    std::wstring out = name ? name : L"";
    SysFreeString(name);
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

// Every member of the type library reaches the same dispid through the control's own
// GetIDsOfNames, in any letter case, as script engines look them up, and each property
// of the library is one the control can read.
TEST_F(TypeLibTest, TheControlsDispatchTableAgreesWithIt) {
    OcxModule ocx;
    ASSERT_TRUE(ocx.loaded());
    fw::ComPtr<IDispatch> control;
    ASSERT_HRESULT_SUCCEEDED(ocx.CreateControl(IID_IDispatch, control.put_void()));
    fw::ComPtr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(m_lib->GetTypeInfoOfGuid(DIID__DNvAtt, info.put()));
    TYPEATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
    std::vector<std::pair<MEMBERID, bool>> members;  // (dispid, is a property)
    for (UINT i = 0; i < attr->cVars; ++i) {
        VARDESC* var = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetVarDesc(i, &var));
        members.push_back({var->memid, true});
        info->ReleaseVarDesc(var);
    }
    for (UINT i = 0; i < attr->cFuncs; ++i) {
        FUNCDESC* func = nullptr;
        ASSERT_HRESULT_SUCCEEDED(info->GetFuncDesc(i, &func));
        members.push_back({func->memid, false});
        info->ReleaseFuncDesc(func);
    }
    info->ReleaseTypeAttr(attr);
    ASSERT_GT(members.size(), 70u);
    for (const auto& [memid, property] : members) {
        std::wstring name = MemberName(info.get(), memid), upper = name;
        for (wchar_t& c : upper) c = towupper(c);
        for (std::wstring spelling : {name, upper}) {
            LPOLESTR names[] = {&spelling[0]};
            DISPID id = 0;
            EXPECT_HRESULT_SUCCEEDED(control->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
            EXPECT_EQ(id, memid) << std::string(spelling.begin(), spelling.end());
        }
        if (property) {
            fw::Variant value;
            DISPPARAMS none = {};
            EXPECT_HRESULT_SUCCEEDED(
                control->Invoke(memid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr))
                << std::string(name.begin(), name.end());
        }
    }
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
    DISPID id = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

}  // namespace
