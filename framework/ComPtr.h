// Move-only owner of one COM interface pointer.
#pragma once

#include <unknwn.h>

#include <utility>

namespace fw {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference.
    explicit ComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) reset(std::exchange(other.m_p, nullptr));
        return *this;
    }
    ~ComPtr() { reset(); }

    // Adopts p without AddRef.
    static ComPtr Attach(T* p) { ComPtr c; c.m_p = p; return c; }
    ComPtr Copy() const { return ComPtr(m_p); }

    void reset(T* p = nullptr) {
        T* old = std::exchange(m_p, p);
        if (old) old->Release();
    }
    T* detach() { return std::exchange(m_p, nullptr); }
    // Releases what was held and returns the slot for an out-parameter.
    T** put() { reset(); return &m_p; }
    void** put_void() { return reinterpret_cast<void**>(put()); }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    template <class U>
    HRESULT As(ComPtr<U>* out) const {
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(__uuidof(U), out->put_void());
    }
    HRESULT As(REFIID iid, void** out) const {
        if (!m_p) return E_POINTER;
        return m_p->QueryInterface(iid, out);
    }
    // Hands a new reference to an out-parameter.
    HRESULT CopyTo(T** out) const {
        if (!out) return E_POINTER;
        *out = m_p;
        if (m_p) m_p->AddRef();
        return S_OK;
    }

private:
    T* m_p = nullptr;
};

}  // namespace fw
