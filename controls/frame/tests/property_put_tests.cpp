// The property-put protocol with a container: permission, store, dirty,
// change notification; a refusal changes nothing.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "sample_server.h"
#include "testsupport/ole_container.h"

namespace {

class PropertyPut : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = SampleServer::Get().Create();
        ASSERT_TRUE(sample_);
        ASSERT_EQ(container_.Attach(sample_.get()), S_OK);
        persist_ = sample_.as<IPersistStreamInit>();
        ASSERT_EQ(persist_->InitNew(), S_OK);
        ASSERT_EQ(container_.Activate(), S_OK);
    }
    common::ComApartment apartment_;
    testsupport::OleContainer container_;
    common::ComPtr<ISample> sample_;
    common::ComPtr<IPersistStreamInit> persist_;
};

TEST_F(PropertyPut, PutAsksThenStoresMarksDirtyAndNotifies) {
    EXPECT_EQ(persist_->IsDirty(), S_FALSE);
    ASSERT_EQ(sample_->put_Number(3), S_OK);
    EXPECT_EQ(container_.RequestedEdits(), std::vector<DISPID>{2});
    EXPECT_EQ(container_.ChangedProperties(), std::vector<DISPID>{2});
    EXPECT_EQ(persist_->IsDirty(), S_OK);
    LONG number = 0;
    sample_->get_Number(&number);
    EXPECT_EQ(number, 3);
}

TEST_F(PropertyPut, RefusedEditReturnsSFalseAndChangesNothing) {
    container_.SetRefuseEdits(true);
    // Through the dual interface: dispatch reports a member's S_FALSE as S_OK.
    EXPECT_EQ(sample_->put_Number(9), S_FALSE);
    common::UniqueBstr text(L"changed");
    EXPECT_EQ(sample_->put_Text(text.get()), S_FALSE);

    LONG number = 0;
    sample_->get_Number(&number);
    EXPECT_EQ(number, 7);
    common::UniqueBstr now;
    sample_->get_Text(now.put());
    EXPECT_EQ(now.view(), L"sample");
    EXPECT_EQ(container_.RequestedEdits(), (std::vector<DISPID>{2, 1}));
    EXPECT_TRUE(container_.ChangedProperties().empty());
    EXPECT_EQ(persist_->IsDirty(), S_FALSE);
}

TEST_F(PropertyPut, FailedPutTellsNobodyOfAChange) {
    EXPECT_EQ(sample_->put_Number(-1), CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_TRUE(container_.ChangedProperties().empty());
    EXPECT_EQ(persist_->IsDirty(), S_FALSE);
}

TEST_F(PropertyPut, UserModeAmbientReachesTheControl) {
    VARIANT_BOOL userMode = VARIANT_FALSE;
    ASSERT_EQ(sample_->get_UserMode(&userMode), S_OK);
    EXPECT_EQ(userMode, VARIANT_TRUE);
    container_.SetUserMode(false);
    ASSERT_EQ(sample_->get_UserMode(&userMode), S_OK);
    EXPECT_EQ(userMode, VARIANT_FALSE);
}

} // namespace
