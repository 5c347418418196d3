// Save and load through stream, storage and property bag: the extent, then
// the persisted properties by name in table order, through get and put.
#include <windows.h>

#include <gtest/gtest.h>

#include "sample_server.h"
#include "testsupport/ole_stores.h"

namespace {

class Persistence : public ::testing::Test {
protected:
    void SetUp() override {
        original_ = SampleServer::Get().Create();
        copy_ = SampleServer::Get().Create();
        ASSERT_TRUE(original_ && copy_);
        common::UniqueBstr text(L"hello");
        original_->put_Text(text.get());
        original_->put_Number(42);
        original_->put_Flag(VARIANT_FALSE);
        original_->put_Scratch(5);
        SIZEL extent = {1234, 567};
        original_.as<IOleObject>()->SetExtent(DVASPECT_CONTENT, &extent);
    }

    void ExpectCopyMatchesOriginal() {
        common::UniqueBstr text;
        copy_->get_Text(text.put());
        EXPECT_EQ(text.view(), L"hello");
        LONG number = 0;
        copy_->get_Number(&number);
        EXPECT_EQ(number, 42);
        VARIANT_BOOL flag = VARIANT_TRUE;
        copy_->get_Flag(&flag);
        EXPECT_EQ(flag, VARIANT_FALSE);
        LONG scratch = -1;
        copy_->get_Scratch(&scratch);
        EXPECT_EQ(scratch, 0) << "not persisted";
        SIZEL extent = {};
        copy_.as<IOleObject>()->GetExtent(DVASPECT_CONTENT, &extent);
        EXPECT_EQ(extent.cx, 1234);
        EXPECT_EQ(extent.cy, 567);
        // Loaded through the puts, in table order.
        common::UniqueBstr log;
        copy_->get_PutLog(log.put());
        EXPECT_EQ(log.view(), L"Number;Text;Flag;");
        EXPECT_EQ(copy_.as<IPersistStreamInit>()->IsDirty(), S_FALSE);
    }

    common::ComApartment apartment_;
    common::ComPtr<ISample> original_;
    common::ComPtr<ISample> copy_;
};

TEST_F(Persistence, StreamRoundTrip) {
    auto stream = testsupport::MemoryStream();
    auto persist = original_.as<IPersistStreamInit>();
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ULARGE_INTEGER expected = {};
    ASSERT_EQ(persist->GetSizeMax(&expected), S_OK);
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    LARGE_INTEGER zero = {};
    ULARGE_INTEGER written = {};
    stream->Seek(zero, STREAM_SEEK_CUR, &written);
    EXPECT_EQ(written.QuadPart, expected.QuadPart);

    testsupport::Rewind(stream.get());
    ASSERT_EQ(copy_.as<IPersistStreamInit>()->Load(stream.get()), S_OK);
    ExpectCopyMatchesOriginal();
}

TEST_F(Persistence, CutStreamFailsToLoad) {
    auto stream = testsupport::MemoryStream();
    ASSERT_EQ(original_.as<IPersistStreamInit>()->Save(stream.get(), FALSE), S_OK);
    ULARGE_INTEGER size = {};
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_CUR, &size);
    size.QuadPart -= 3; // into the text of "Text"
    stream->SetSize(size);
    testsupport::Rewind(stream.get());
    EXPECT_TRUE(FAILED(copy_.as<IPersistStreamInit>()->Load(stream.get())));
}

TEST_F(Persistence, StorageRoundTripThroughContentsStream) {
    auto storage = testsupport::MemoryStorage();
    ASSERT_TRUE(storage);
    ASSERT_EQ(original_.as<IPersistStorage>()->Save(storage.get(), TRUE), S_OK);
    common::ComPtr<IStream> contents;
    ASSERT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                  contents.put()),
              S_OK);
    contents.reset();
    ASSERT_EQ(copy_.as<IPersistStorage>()->Load(storage.get()), S_OK);
    ExpectCopyMatchesOriginal();
}

TEST_F(Persistence, PropertyBagHoldsItemsByNameInTableOrder) {
    auto bag = testsupport::PropertyBag::Create();
    ASSERT_EQ(original_.as<IPersistPropertyBag>()->Save(bag.get(), TRUE, TRUE), S_OK);
    EXPECT_EQ(bag->Names(),
              (std::vector<std::wstring>{L"_cx", L"_cy", L"Number", L"Text", L"Flag"}));
    EXPECT_EQ(bag->Find(L"Number")->lVal, 42);
    EXPECT_STREQ(bag->Find(L"Text")->bstrVal, L"hello");

    ASSERT_EQ(copy_.as<IPersistPropertyBag>()->Load(bag.get(), nullptr), S_OK);
    EXPECT_EQ(bag->Reads(),
              (std::vector<std::wstring>{L"_cx", L"_cy", L"Number", L"Text", L"Flag"}));
    ExpectCopyMatchesOriginal();
}

TEST_F(Persistence, BagLoadKeepsMissingItemsAndGoesPastAFailingPut) {
    auto bag = testsupport::PropertyBag::Create();
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = -5; // refused by the put
    bag->Set(L"Number", value);
    common::UniqueBstr text(L"kept");
    value.vt = VT_BSTR;
    value.bstrVal = text.get();
    bag->Set(L"Text", value);

    ASSERT_EQ(copy_.as<IPersistPropertyBag>()->Load(bag.get(), nullptr), S_OK);
    LONG number = 0;
    copy_->get_Number(&number);
    EXPECT_EQ(number, 7);
    common::UniqueBstr now;
    copy_->get_Text(now.put());
    EXPECT_EQ(now.view(), L"kept");
    VARIANT_BOOL flag = VARIANT_FALSE;
    copy_->get_Flag(&flag);
    EXPECT_EQ(flag, VARIANT_TRUE) << "absent from the bag: unchanged";
}

} // namespace
