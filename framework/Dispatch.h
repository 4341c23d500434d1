// IDispatch from one table of members: each property and method is one declaration.
//
//   const fw::DispMember CFoo::kDispatch[] = {
//       FW_DISP_PROPERTY(1, "name", &CFoo::m_strName),
//       FW_DISP_PROPERTY_NOTIFY(2, "list", &CFoo::m_strList, &CFoo::OnListChanged),
//       FW_DISP_METHOD(3, "DoThing", &CFoo::DoThing),
//       FW_DISP_TABLE_END,
//   };
//
// Properties are std::string (BSTR to script, ANSI inside), long or short members.
// Methods are `HRESULT Fn(args...)` or `HRESULT Fn(args..., R* result)` with args of
// type const std::string&, long, short, bool or const VARIANT&, and R one of
// std::string, long, bool or VARIANT (the method fills a VARIANT result itself).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "framework/Text.h"

namespace fw {

struct DispMember {
    DISPID id;
    const wchar_t* name;
    HRESULT (*get)(void* self, VARIANT* result);
    HRESULT (*put)(void* self, const VARIANT& value);
    HRESULT (*call)(void* self, DISPPARAMS* params, VARIANT* result, UINT* argErr);
};

// GetIDsOfNames: names compare without regard to case; parameter names are not mapped.
HRESULT DispGetIDsOfNames(const DispMember* table, LPOLESTR* names, UINT count, DISPID* ids);

// Invoke against the table. A failing member with error info set on the thread
// (ReportError) is reported to script through EXCEPINFO as DISP_E_EXCEPTION.
HRESULT DispInvoke(void* self, const DispMember* table, DISPID id, WORD flags,
                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

// Sets the thread's error info (shown by script engines) and returns hr.
HRESULT ReportError(HRESULT hr, const std::wstring& source, const std::wstring& description);

// A failure hr of an Invoke, with the error info set on the thread, as script receives
// it: DISP_E_EXCEPTION with EXCEPINFO filled in, or hr itself when there is no EXCEPINFO.
HRESULT DispRaise(HRESULT hr, VARIANT* result, EXCEPINFO* excepInfo);

namespace detail {

// Argument i of n counted from the left; DISPPARAMS holds them right to left.
HRESULT ArgumentAt(DISPPARAMS* params, UINT index, UINT count, VARTYPE vt, VARIANT* converted,
                   const VARIANT** raw, UINT* argErr);

template <class T> struct Arg;
template <> struct Arg<const std::string&> {
    static constexpr VARTYPE vt = VT_BSTR;
    using Stored = std::string;
    static Stored From(const VARIANT& v) { return BstrToAnsi(V_BSTR(&v)); }
};
template <> struct Arg<long> {
    static constexpr VARTYPE vt = VT_I4;
    using Stored = long;
    static Stored From(const VARIANT& v) { return V_I4(&v); }
};
template <> struct Arg<short> {
    static constexpr VARTYPE vt = VT_I2;
    using Stored = short;
    static Stored From(const VARIANT& v) { return V_I2(&v); }
};
template <> struct Arg<bool> {
    static constexpr VARTYPE vt = VT_BOOL;
    using Stored = bool;
    static Stored From(const VARIANT& v) { return V_BOOL(&v) != VARIANT_FALSE; }
};
template <> struct Arg<const VARIANT&> {
    static constexpr VARTYPE vt = VT_VARIANT;  // passed as given, by-reference unwrapped
    using Stored = const VARIANT&;
};

template <class T> struct Result;
template <> struct Result<std::string> {
    static HRESULT To(const std::string& v, VARIANT* out) {
        V_VT(out) = VT_BSTR;
        V_BSTR(out) = AnsiToBstr(v);
        return V_BSTR(out) ? S_OK : E_OUTOFMEMORY;
    }
};
template <> struct Result<long> {
    static HRESULT To(long v, VARIANT* out) { V_VT(out) = VT_I4; V_I4(out) = v; return S_OK; }
};
template <> struct Result<short> {
    static HRESULT To(short v, VARIANT* out) { V_VT(out) = VT_I2; V_I2(out) = v; return S_OK; }
};
template <> struct Result<bool> {
    static HRESULT To(bool v, VARIANT* out) {
        V_VT(out) = VT_BOOL;
        V_BOOL(out) = v ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
};
template <> struct Result<VARIANT> {
    static HRESULT To(VARIANT& v, VARIANT* out) { *out = v; V_VT(&v) = VT_EMPTY; return S_OK; }
};

template <class T> struct IsOut : std::false_type {};
template <class T> struct IsOut<T*> : std::true_type { using Type = T; };

template <class Sig> struct MethodSig;
template <class C, class... A> struct MethodSig<HRESULT (C::*)(A...)> {
    using Class = C;
    using Args = std::tuple<A...>;
    static constexpr size_t kCount = sizeof...(A);
};

template <class T, class Enable = void> struct ArgValue {
    typename Arg<T>::Stored value;
    HRESULT Load(DISPPARAMS* p, UINT i, UINT n, UINT* argErr) {
        Variant v;
        const VARIANT* raw = nullptr;
        HRESULT hr = ArgumentAt(p, i, n, Arg<T>::vt, &v, &raw, argErr);
        if (SUCCEEDED(hr)) value = Arg<T>::From(v);
        return hr;
    }
    T get() { return value; }
};
template <> struct ArgValue<const VARIANT&> {
    const VARIANT* raw = nullptr;
    HRESULT Load(DISPPARAMS* p, UINT i, UINT n, UINT* argErr) {
        Variant unused;
        return ArgumentAt(p, i, n, VT_VARIANT, &unused, &raw, argErr);
    }
    const VARIANT& get() { return *raw; }
};

template <auto Fn, class Sig, size_t... I>
HRESULT CallWithArgs(void* self, DISPPARAMS* params, VARIANT* result, [[maybe_unused]] UINT* argErr,
                     std::index_sequence<I...>) {
    using Class = typename Sig::Class;
    using Args = typename Sig::Args;
    constexpr size_t kAll = Sig::kCount;
    constexpr UINT kIn = static_cast<UINT>(sizeof...(I));
    if (params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
    if (params->cArgs != kIn) return DISP_E_BADPARAMCOUNT;
    std::tuple<ArgValue<std::tuple_element_t<I, Args>>...> values;
    HRESULT hr = S_OK;
    ((SUCCEEDED(hr) ? (hr = std::get<I>(values).Load(params, static_cast<UINT>(I), kIn, argErr)) : hr), ...);
    if (FAILED(hr)) return hr;
    auto* obj = static_cast<Class*>(self);
    if constexpr (kIn < kAll) {
        using Out = typename IsOut<std::tuple_element_t<kAll - 1, Args>>::Type;
        Out out{};
        hr = (obj->*Fn)(std::get<I>(values).get()..., &out);
        if (FAILED(hr)) return hr;
        return result ? Result<Out>::To(out, result) : S_OK;
    } else {
        return (obj->*Fn)(std::get<I>(values).get()...);
    }
}

template <auto Fn>
HRESULT CallMethod(void* self, DISPPARAMS* params, VARIANT* result, UINT* argErr) {
    using Sig = MethodSig<decltype(Fn)>;
    constexpr size_t kAll = Sig::kCount;
    if constexpr (kAll == 0) {
        return CallWithArgs<Fn, Sig>(self, params, result, argErr, std::make_index_sequence<0>());
    } else {
        using Last = std::tuple_element_t<kAll - 1, typename Sig::Args>;
        constexpr size_t kIn = IsOut<Last>::value ? kAll - 1 : kAll;
        return CallWithArgs<Fn, Sig>(self, params, result, argErr, std::make_index_sequence<kIn>());
    }
}

template <class Sig> struct MemberSig;
template <class C, class T> struct MemberSig<T C::*> {
    using Class = C;
    using Type = T;
};

template <class T> struct MemberValue;
template <> struct MemberValue<std::string> {
    static constexpr VARTYPE vt = VT_BSTR;
    static void Set(std::string& m, const VARIANT& v) { m = BstrToAnsi(V_BSTR(&v)); }
    static HRESULT Get(const std::string& m, VARIANT* out) { return Result<std::string>::To(m, out); }
};
template <> struct MemberValue<long> {
    static constexpr VARTYPE vt = VT_I4;
    static void Set(long& m, const VARIANT& v) { m = V_I4(&v); }
    static HRESULT Get(long m, VARIANT* out) { return Result<long>::To(m, out); }
};
template <> struct MemberValue<short> {
    static constexpr VARTYPE vt = VT_I2;
    static void Set(short& m, const VARIANT& v) { m = V_I2(&v); }
    static HRESULT Get(short m, VARIANT* out) { return Result<short>::To(m, out); }
};

template <auto Member>
HRESULT GetMember(void* self, VARIANT* result) {
    using S = MemberSig<decltype(Member)>;
    auto* obj = static_cast<typename S::Class*>(self);
    return MemberValue<typename S::Type>::Get(obj->*Member, result);
}

HRESULT ConvertValue(const VARIANT& value, VARTYPE vt, VARIANT* converted);

template <auto Member>
HRESULT PutMember(void* self, const VARIANT& value) {
    using S = MemberSig<decltype(Member)>;
    Variant v;
    HRESULT hr = ConvertValue(value, MemberValue<typename S::Type>::vt, &v);
    if (FAILED(hr)) return hr;
    MemberValue<typename S::Type>::Set(static_cast<typename S::Class*>(self)->*Member, v);
    return S_OK;
}

template <auto Member, auto Handler>
HRESULT PutMemberNotify(void* self, const VARIANT& value) {
    HRESULT hr = PutMember<Member>(self, value);
    if (FAILED(hr)) return hr;
    using S = MemberSig<decltype(Member)>;
    (static_cast<typename S::Class*>(self)->*Handler)();
    return S_OK;
}

}  // namespace detail
}  // namespace fw

#define FW_DISP_PROPERTY(id, name, member) \
    { (id), L##name, &::fw::detail::GetMember<member>, &::fw::detail::PutMember<member>, nullptr }
#define FW_DISP_PROPERTY_NOTIFY(id, name, member, handler)                  \
    { (id), L##name, &::fw::detail::GetMember<member>,                      \
      &::fw::detail::PutMemberNotify<member, handler>, nullptr }
#define FW_DISP_METHOD(id, name, fn) \
    { (id), L##name, nullptr, nullptr, &::fw::detail::CallMethod<fn> }
#define FW_DISP_TABLE_END { DISPID_UNKNOWN, nullptr, nullptr, nullptr, nullptr }
