// The enumerator that IConnectionPointContainer::EnumConnectionPoints hands out.
#include "framework/EnumConnectionPoints.h"

#include <new>

#include "framework/ExceptionBoundary.h"

namespace fw {

const InterfaceEntry CEnumConnectionPoints::kInterfaces[] = {
    FW_INTERFACE_ENTRY(CEnumConnectionPoints, IEnumConnectionPoints),
    FW_INTERFACE_TABLE_END,
};

HRESULT CEnumConnectionPoints::Create(IConnectionPoint* const* points, size_t count, size_t position,
                                      IEnumConnectionPoints** out) {
    *out = nullptr;
    auto created = ComPtr<CEnumConnectionPoints>::Attach(new (std::nothrow) CEnumConnectionPoints());
    if (!created) return E_OUTOFMEMORY;
    for (size_t i = 0; i < count; ++i) created->m_points.emplace_back(points[i]);
    created->m_position = position;
    *out = created.detach();
    return S_OK;
}

STDMETHODIMP CEnumConnectionPoints::Next(ULONG count, IConnectionPoint** points, ULONG* fetched) {
    if (!points || (count > 1 && !fetched)) return E_POINTER;
    ULONG n = 0;
    for (; n < count && m_position < m_points.size(); ++n, ++m_position) {
        points[n] = m_points[m_position].get();
        points[n]->AddRef();
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumConnectionPoints::Skip(ULONG count) {
    size_t left = m_points.size() - m_position;
    m_position += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumConnectionPoints::Reset() {
    m_position = 0;
    return S_OK;
}

STDMETHODIMP CEnumConnectionPoints::Clone(IEnumConnectionPoints** copy) {
    if (!copy) return E_POINTER;
    *copy = nullptr;
    return CallNoThrow([&] {
        std::vector<IConnectionPoint*> points;
        for (const auto& p : m_points) points.push_back(p.get());
        return Create(points.data(), points.size(), m_position, copy);
    });
}

}  // namespace fw
