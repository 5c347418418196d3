// A programmable object of the frame: late binding, default arguments, error
// information and events, and none of a control's interfaces.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "sample_server.h"
#include "testsupport/ole_container.h"

namespace {

class ProgrammableObject : public ::testing::Test {
protected:
    void SetUp() override {
        common::ComPtr<IClassFactory> factory;
        ASSERT_EQ(SampleServer::Get().getClassObject(CLSID_Counter, IID_IClassFactory,
                                                     factory.put_void()),
                  S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_ICounter, counter_.put_void()), S_OK);
    }

    HRESULT StepByName(std::initializer_list<VARIANT> args, EXCEPINFO* exception = nullptr) {
        common::ComPtr<IDispatch> dispatch = counter_.as<IDispatch>();
        LPOLESTR names[] = {const_cast<LPOLESTR>(L"Step")};
        DISPID id = 0;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        std::vector<VARIANTARG> list(args);
        DISPPARAMS params = {list.empty() ? nullptr : list.data(), nullptr,
                             static_cast<UINT>(list.size()), 0};
        common::UniqueVariant result;
        return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                result.put(), exception, nullptr);
    }

    common::ComApartment apartment_;
    common::ComPtr<ICounter> counter_;
};

TEST_F(ProgrammableObject, DefaultArgumentAndEvents) {
    auto recorder = testsupport::EventRecorder::Create(DIID__ICounterEvents);
    auto connection = recorder->Connect(counter_.get());
    ASSERT_EQ(connection.result(), S_OK);

    ASSERT_EQ(StepByName({}), S_OK);
    VARIANT five;
    five.vt = VT_I4;
    five.lVal = 5;
    ASSERT_EQ(StepByName({five}), S_OK);
    LONG count = 0;
    counter_->get_Count(&count);
    EXPECT_EQ(count, 6);
    ASSERT_EQ(recorder->Events().size(), 2u);
    EXPECT_EQ(recorder->Events()[0].received[0]->lVal, 1);
    EXPECT_EQ(recorder->Events()[1].received[0]->lVal, 6);
}

TEST_F(ProgrammableObject, FailureCarriesDescription) {
    VARIANT zero;
    zero.vt = VT_I4;
    zero.lVal = 0;
    EXCEPINFO exception = {};
    EXPECT_EQ(StepByName({zero}, &exception), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, E_INVALIDARG);
    ASSERT_NE(exception.bstrDescription, nullptr);
    EXPECT_STREQ(exception.bstrDescription, L"A step of nothing");
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrHelpFile);
    EXPECT_EQ(counter_.as<ISupportErrorInfo>()->InterfaceSupportsErrorInfo(IID_ICounter), S_OK);
}

TEST_F(ProgrammableObject, OffersNoneOfAControlsInterfaces) {
    EXPECT_FALSE(counter_.as<IOleObject>());
    EXPECT_FALSE(counter_.as<IPersistStreamInit>());
    EXPECT_FALSE(counter_.as<IViewObject>());
    GUID source = {};
    ASSERT_EQ(counter_.as<IProvideClassInfo2>()->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source),
              S_OK);
    EXPECT_EQ(source, DIID__ICounterEvents);
    common::ComPtr<IConnectionPoint> point;
    EXPECT_EQ(counter_.as<IConnectionPointContainer>()->FindConnectionPoint(IID_IPropertyNotifySink,
                                                                            point.put()),
              CONNECT_E_NOCONNECTION);
}

} // namespace
