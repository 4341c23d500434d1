// IDispatch from one table of members.
#include "framework/Dispatch.h"

#include "framework/ComPtr.h"
#include "framework/ExceptionBoundary.h"

#include <cwchar>

namespace fw {

HRESULT ReportError(HRESULT hr, const std::wstring& source, const std::wstring& description) {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
        create->SetSource(const_cast<LPOLESTR>(source.c_str()));
        create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.get());
    }
    return hr;
}

HRESULT DispGetIDsOfNames(const DispMember* table, LPOLESTR* names, UINT count, DISPID* ids) {
    if (!names || !ids) return E_POINTER;
    if (count == 0) return S_OK;
    HRESULT hr = S_OK;
    ids[0] = DISPID_UNKNOWN;
    for (const DispMember* m = table; m->name; ++m) {
        if (_wcsicmp(m->name, names[0]) == 0) {
            ids[0] = m->id;
            break;
        }
    }
    if (ids[0] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    for (UINT i = 1; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

namespace detail {

HRESULT ConvertValue(const VARIANT& value, VARTYPE vt, VARIANT* converted) {
    // VT_NULL and VT_EMPTY from script read as empty text or zero, as hosts expect.
    const VARIANT* v = &value;
    if (V_VT(v) == (VT_VARIANT | VT_BYREF)) v = V_VARIANTREF(v);
    if (V_VT(v) == VT_NULL || V_VT(v) == VT_EMPTY) {
        V_VT(converted) = vt;
        if (vt == VT_BSTR) V_BSTR(converted) = nullptr;
        else V_I4(converted) = 0;
        return S_OK;
    }
    HRESULT hr = VariantChangeType(converted, const_cast<VARIANT*>(v), 0, vt);
    return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

HRESULT ArgumentAt(DISPPARAMS* params, UINT index, UINT count, VARTYPE vt, VARIANT* converted,
                   const VARIANT** raw, UINT* argErr) {
    UINT slot = count - 1 - index;
    const VARIANT* arg = &params->rgvarg[slot];
    if (V_VT(arg) == VT_ERROR && V_ERROR(arg) == DISP_E_PARAMNOTFOUND) {
        if (argErr) *argErr = slot;
        return DISP_E_PARAMNOTOPTIONAL;
    }
    if (V_VT(arg) == (VT_VARIANT | VT_BYREF)) arg = V_VARIANTREF(arg);
    *raw = arg;
    if (vt == VT_VARIANT) return S_OK;
    HRESULT hr = ConvertValue(*arg, vt, converted);
    if (FAILED(hr) && argErr) *argErr = slot;
    return hr;
}

}  // namespace detail

HRESULT DispInvoke(void* self, const DispMember* table, DISPID id, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    static DISPPARAMS kNoParams = {nullptr, nullptr, 0, 0};
    if (!params) params = &kNoParams;
    const DispMember* member = nullptr;
    for (const DispMember* m = table; m->name; ++m) {
        if (m->id == id) {
            member = m;
            break;
        }
    }
    if (!member) return DISP_E_MEMBERNOTFOUND;
    if (result) VariantInit(result);

    SetErrorInfo(0, nullptr);
    HRESULT hr = DISP_E_MEMBERNOTFOUND;
    try {
        if (member->call && (flags & DISPATCH_METHOD)) {
            hr = member->call(self, params, result, argErr);
        } else if (member->get && (flags & DISPATCH_PROPERTYGET)) {
            if (params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
            hr = result ? member->get(self, result) : S_OK;
        } else if (member->put && (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))) {
            if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
            if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_PARAMNOTOPTIONAL;
            hr = member->put(self, params->rgvarg[0]);
            if (hr == DISP_E_TYPEMISMATCH && argErr) *argErr = 0;
        }
    } catch (...) {
        // Script is told which member failed and why; the call did not happen.
        hr = CaughtExceptionResult();
        wchar_t text[160];
        swprintf(text, sizeof(text) / sizeof(text[0]), L"%ls: %ls", member->name, CaughtExceptionText(hr));
        try {
            ReportError(hr, L"", text);
        } catch (...) {
        }
    }
    if (FAILED(hr) && hr != DISP_E_MEMBERNOTFOUND && hr != DISP_E_BADPARAMCOUNT &&
        hr != DISP_E_TYPEMISMATCH && hr != DISP_E_PARAMNOTOPTIONAL && hr != DISP_E_NONAMEDARGS)
        return DispRaise(hr, result, excepInfo);
    return hr;
}

HRESULT DispRaise(HRESULT hr, VARIANT* result, EXCEPINFO* excepInfo) {
    // A failing member leaves its result empty; the caller's may not be initialised yet.
    if (result) VariantInit(result);
    if (!excepInfo) return hr;
    ComPtr<IErrorInfo> info;
    memset(excepInfo, 0, sizeof(*excepInfo));
    excepInfo->scode = hr;
    if (GetErrorInfo(0, info.put()) == S_OK) {
        info->GetSource(&excepInfo->bstrSource);
        info->GetDescription(&excepInfo->bstrDescription);
    }
    return DISP_E_EXCEPTION;
}

}  // namespace fw
