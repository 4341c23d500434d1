// The control's connection points as a container walks and joins them.
#include <gtest/gtest.h>

#include <olectl.h>

#include "control/NvAttIds.h"
#include "framework/ComPtr.h"
#include "tests/control/OcxModule.h"

TEST(ConnectionPoints, BothAreEnumeratedAndEachTakesSinksOfItsKind) {
    OcxModule ocx;
    fw::ComPtr<IConnectionPointContainer> control;
    ASSERT_HRESULT_SUCCEEDED(ocx.CreateControl(IID_IConnectionPointContainer, control.put_void()));
    fw::ComPtr<IEnumConnectionPoints> points;
    ASSERT_HRESULT_SUCCEEDED(control->EnumConnectionPoints(points.put()));
    IConnectionPoint* got[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(3, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    IID events = IID_NULL, properties = IID_NULL;
    got[0]->GetConnectionInterface(&events);
    got[1]->GetConnectionInterface(&properties);
    EXPECT_TRUE(IsEqualIID(events, DIID__DNvAttEvents));
    EXPECT_TRUE(IsEqualIID(properties, IID_IPropertyNotifySink));

    // Another control answers IDispatch, not IPropertyNotifySink: a sink for the events
    // (a dispinterface) and none for property changes.
    fw::ComPtr<IDispatch> dispatchOnly;
    ASSERT_HRESULT_SUCCEEDED(ocx.CreateControl(IID_IDispatch, dispatchOnly.put_void()));
    DWORD cookie = 1;
    EXPECT_EQ(got[1]->Advise(dispatchOnly.get(), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(got[0]->Advise(dispatchOnly.get(), &cookie), S_OK);
    EXPECT_EQ(got[0]->Unadvise(cookie), S_OK);
    got[0]->Release();
    got[1]->Release();
}
