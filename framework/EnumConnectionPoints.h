// The enumerator that IConnectionPointContainer::EnumConnectionPoints hands out: a
// snapshot of the container's points, each holding its container alive.
#pragma once

#include <ocidl.h>

#include <vector>

#include "framework/ComObject.h"
#include "framework/ComPtr.h"

namespace fw {

class CEnumConnectionPoints final : public IEnumConnectionPoints {
public:
    // An enumerator over points[0..count), standing at position.
    static HRESULT Create(IConnectionPoint* const* points, size_t count, size_t position,
                          IEnumConnectionPoints** out);

    FW_IMPLEMENT_IUNKNOWN()

    STDMETHODIMP Next(ULONG count, IConnectionPoint** points, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumConnectionPoints** copy) override;

private:
    CEnumConnectionPoints() = default;

    static const InterfaceEntry kInterfaces[];
    RefCount m_refs;
    std::vector<ComPtr<IConnectionPoint>> m_points;
    size_t m_position = 0;
};

}  // namespace fw
