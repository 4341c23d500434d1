// Persisted properties from one table: property bags (PARAM tags), streams and defaults.
//
//   const fw::PersistEntry CFoo::kPersist[] = {
//       FW_PERSIST_STRING("strURL", &CFoo::m_strURL),
//       FW_PERSIST_LONG("style", &CFoo::m_lStyle, 0),
//       FW_PERSIST_TABLE_END,
//   };
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>

#include "framework/Text.h"

namespace fw {

struct PersistEntry {
    const wchar_t* name;
    VARTYPE vt;  // VT_BSTR, VT_I4 or VT_I2
    // value null: load the default.
    void (*load)(void* self, const VARIANT* value);
    void (*save)(const void* self, VARIANT* out);
};

class PropertyExchange {
public:
    // version: the layout version written as "_Version" and at the head of streams
    // (major in the high word). Streams of another major version are refused.
    PropertyExchange(const PersistEntry* table, DWORD version) : m_table(table), m_version(version) {}

    void Reset(void* self) const;
    // Entries missing from the bag get their defaults. A value that does not convert to
    // the entry's type fails the load and leaves every member as it was.
    HRESULT Load(void* self, IPropertyBag* bag, IErrorLog* log, DWORD* loadedVersion) const;
    HRESULT Save(const void* self, IPropertyBag* bag) const;
    // Stream layout: version, then each entry in table order (text as a UTF-16 count and
    // characters, long as 4 bytes, short as 2 bytes, little-endian). A stream that is cut
    // short or claims more than it holds fails the load and changes nothing.
    HRESULT Read(void* self, IStream* stream) const;
    HRESULT Write(const void* self, IStream* stream) const;
    ULONG MaxStreamSize(const void* self) const;

    DWORD version() const { return m_version; }

private:
    const PersistEntry* m_table;
    DWORD m_version;
};

namespace detail {

template <class Sig> struct PersistMember;
template <class C, class T> struct PersistMember<T C::*> {
    using Class = C;
    using Type = T;
};

template <auto Member>
void LoadString(void* self, const VARIANT* value) {
    using S = PersistMember<decltype(Member)>;
    auto& m = static_cast<typename S::Class*>(self)->*Member;
    m = value ? BstrToAnsi(V_BSTR(value)) : std::string();
}
template <auto Member>
void SaveString(const void* self, VARIANT* out) {
    using S = PersistMember<decltype(Member)>;
    V_VT(out) = VT_BSTR;
    V_BSTR(out) = AnsiToBstr(static_cast<const typename S::Class*>(self)->*Member);
}
template <auto Member, long Default>
void LoadLong(void* self, const VARIANT* value) {
    using S = PersistMember<decltype(Member)>;
    static_cast<typename S::Class*>(self)->*Member = value ? V_I4(value) : Default;
}
template <auto Member>
void SaveLong(const void* self, VARIANT* out) {
    using S = PersistMember<decltype(Member)>;
    V_VT(out) = VT_I4;
    V_I4(out) = static_cast<const typename S::Class*>(self)->*Member;
}
template <auto Member, short Default>
void LoadShort(void* self, const VARIANT* value) {
    using S = PersistMember<decltype(Member)>;
    static_cast<typename S::Class*>(self)->*Member = value ? V_I2(value) : Default;
}
template <auto Member>
void SaveShort(const void* self, VARIANT* out) {
    using S = PersistMember<decltype(Member)>;
    V_VT(out) = VT_I2;
    V_I2(out) = static_cast<const typename S::Class*>(self)->*Member;
}

}  // namespace detail
}  // namespace fw

#define FW_PERSIST_STRING(name, member) \
    { L##name, VT_BSTR, &::fw::detail::LoadString<member>, &::fw::detail::SaveString<member> }
#define FW_PERSIST_LONG(name, member, def) \
    { L##name, VT_I4, &::fw::detail::LoadLong<member, def>, &::fw::detail::SaveLong<member> }
#define FW_PERSIST_SHORT(name, member, def) \
    { L##name, VT_I2, &::fw::detail::LoadShort<member, def>, &::fw::detail::SaveShort<member> }
#define FW_PERSIST_TABLE_END { nullptr, VT_EMPTY, nullptr, nullptr }
