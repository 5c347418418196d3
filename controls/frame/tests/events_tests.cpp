// Connection points: sinks in connection order, arguments reversed, events
// fired at once or from the control's own posted message.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "sample_server.h"
#include "testsupport/ole_container.h"

namespace {

using testsupport::EventRecorder;

class Events : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = SampleServer::Get().Create();
        ASSERT_TRUE(sample_);
    }
    common::ComApartment apartment_;
    common::ComPtr<ISample> sample_;
};

TEST_F(Events, EverySinkHearsTheEventInConnectionOrderWithArgumentsReversed) {
    auto first = EventRecorder::Create(DIID__ISampleEvents);
    auto second = EventRecorder::Create(DIID__ISampleEvents);
    auto firstConnection = first->Connect(sample_.get());
    auto secondConnection = second->Connect(sample_.get());
    ASSERT_EQ(firstConnection.result(), S_OK);
    ASSERT_EQ(secondConnection.result(), S_OK);

    common::UniqueBstr text(L"tag");
    ASSERT_EQ(sample_->Raise(5, text.get()), S_OK);

    ASSERT_EQ(first->Events().size(), 1u);
    ASSERT_EQ(second->Events().size(), 1u);
    EXPECT_LT(first->Events()[0].sequence, second->Events()[0].sequence);
    const auto& event = first->Events()[0];
    EXPECT_EQ(event.dispid, 1);
    ASSERT_EQ(event.received.size(), 3u);
    EXPECT_EQ(event.received[0]->vt, VT_BOOL);
    EXPECT_EQ(event.received[0]->boolVal, VARIANT_TRUE);
    EXPECT_EQ(event.received[1]->vt, VT_BSTR);
    EXPECT_STREQ(event.received[1]->bstrVal, L"tag");
    EXPECT_EQ(event.received[2]->vt, VT_I4);
    EXPECT_EQ(event.received[2]->lVal, 5);
}

TEST_F(Events, DisconnectedSinkHearsNothingAndOthersKeepTheirOrder) {
    auto first = EventRecorder::Create(DIID__ISampleEvents);
    auto second = EventRecorder::Create(DIID__ISampleEvents);
    auto third = EventRecorder::Create(DIID__ISampleEvents);
    auto firstConnection = first->Connect(sample_.get());
    auto secondConnection = second->Connect(sample_.get());
    auto thirdConnection = third->Connect(sample_.get());
    ASSERT_EQ(thirdConnection.result(), S_OK);
    ASSERT_EQ(secondConnection.Disconnect(), S_OK);

    common::UniqueBstr text(L"x");
    sample_->Raise(1, text.get());
    EXPECT_TRUE(second->Events().empty());
    ASSERT_EQ(first->Events().size(), 1u);
    ASSERT_EQ(third->Events().size(), 1u);
    EXPECT_LT(first->Events()[0].sequence, third->Events()[0].sequence);

    common::ComPtr<IConnectionPointContainer> points = sample_.as<IConnectionPointContainer>();
    common::ComPtr<IConnectionPoint> point;
    ASSERT_EQ(points->FindConnectionPoint(DIID__ISampleEvents, point.put()), S_OK);
    common::ComPtr<IEnumConnections> connections;
    ASSERT_EQ(point->EnumConnections(connections.put()), S_OK);
    CONNECTDATA data[4] = {};
    ULONG fetched = 0;
    EXPECT_EQ(connections->Next(4, data, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    for (ULONG i = 0; i < fetched; ++i) {
        data[i].pUnk->Release();
    }
    EXPECT_EQ(point->Unadvise(12345), CONNECT_E_NOCONNECTION);
}

TEST_F(Events, ConnectionPointsAreTheEventsAndPropertyNotifications) {
    common::ComPtr<IConnectionPointContainer> points = sample_.as<IConnectionPointContainer>();
    ASSERT_TRUE(points);
    common::ComPtr<IConnectionPoint> point;
    EXPECT_EQ(points->FindConnectionPoint(IID_IPropertyNotifySink, point.put()), S_OK);
    EXPECT_EQ(points->FindConnectionPoint(IID_IDispatch, point.put()), CONNECT_E_NOCONNECTION);

    common::ComPtr<IEnumConnectionPoints> all;
    ASSERT_EQ(points->EnumConnectionPoints(all.put()), S_OK);
    IConnectionPoint* found[3] = {};
    ULONG fetched = 0;
    all->Next(3, found, &fetched);
    ASSERT_EQ(fetched, 2u);
    IID iid = {};
    found[0]->GetConnectionInterface(&iid);
    EXPECT_EQ(iid, DIID__ISampleEvents);
    found[1]->GetConnectionInterface(&iid);
    EXPECT_EQ(iid, IID_IPropertyNotifySink);
    found[0]->Release();
    found[1]->Release();

    // A sink that does not answer for the event interface is turned away.
    auto stranger = EventRecorder::Create(IID_IPropertyNotifySink);
    ASSERT_EQ(points->FindConnectionPoint(DIID__ISampleEvents, point.put()), S_OK);
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(stranger.as<IUnknown>().get(), &cookie), CONNECT_E_CANNOTCONNECT);
}

TEST_F(Events, EventFromPostedMessageFiresWhenTheThreadPumps) {
    auto recorder = EventRecorder::Create(DIID__ISampleEvents);
    auto connection = recorder->Connect(sample_.get());
    ASSERT_EQ(connection.result(), S_OK);
    // No container: the control makes a hidden window of its own.
    ASSERT_EQ(sample_->RaiseLater(9), S_OK);
    EXPECT_TRUE(recorder->Events().empty()) << "nothing before the message is handled";
    ASSERT_TRUE(PumpUntil([&] { return !recorder->Events().empty(); }));
    ASSERT_EQ(recorder->Events()[0].received.size(), 3u);
    EXPECT_EQ(recorder->Events()[0].received[2]->lVal, 9);
    EXPECT_STREQ(recorder->Events()[0].received[1]->bstrVal, L"later");
}

} // namespace
