// One object behind every view: the current name, the collection's list,
// the access mutex and the hidden backquote entries.
#include <windows.h>

#include <gtest/gtest.h>

#include "entries_fixture.h"
#include "frame/extent.h"
#include "testsupport/ole_container.h"
#include "testsupport/ole_stores.h"

namespace {

using Views = EntriesTest;

TEST_F(Views, EveryViewIsTheOneObjectAndTheyShareTheCurrentName) {
    CreateEntry(L"EvShared", 0, L"5550111");
    common::ComPtr<IEntry> entry = EntryView(L"EvShared");
    ASSERT_TRUE(entry);
    EXPECT_EQ(Read(entry, &IEntry::get_PhoneNumber), L"5550111");
    EXPECT_EQ(entry.as<IUnknown>().get(), control_.as<IUnknown>().get());

    // The device view names a device; the entry view got first now speaks of it.
    common::ComPtr<IDevice> device;
    ASSERT_EQ(control_->get_Device(Text(L"Hayes Compatible on COM1:"), device.put()), S_OK);
    EXPECT_EQ(Read(device, &IDevice::get_DeviceType), L"modem");
    EXPECT_EQ(Read(entry, &IEntry::get_PhoneNumber), L"");

    common::ComPtr<IDevice> unknown;
    ASSERT_EQ(control_->get_Device(Text(L"No such modem"), unknown.put()), S_OK);
    common::UniqueBstr type;
    EXPECT_EQ(unknown->get_DeviceType(type.put()), S_OK);
    EXPECT_EQ(type.get(), nullptr) << "the caller's value stays";
}

TEST_F(Views, TheCollectionListsWhatTheLastViewGetterChose) {
    common::ComPtr<IEntries> entries = EntriesView();
    LONG entryCount = -1;
    ASSERT_EQ(entries->get_Count(&entryCount), S_OK);
    common::ComPtr<IDevices> devices = DevicesView();
    LONG count = -1;
    ASSERT_EQ(entries->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2) << "the entries view now counts the two default devices";
    common::UniqueBstr name;
    ASSERT_EQ(entries->get_Names(2, name.put()), S_OK);
    EXPECT_EQ(name.view(), L"Hayes Compatible on COM1:");
    EXPECT_EQ(devices->get_Names(3, name.put()), E_INVALIDARG);
    EXPECT_EQ(devices->get_Names(0, name.put()), E_INVALIDARG);

    common::ComPtr<IEntry> prepared;
    EXPECT_EQ(entries->get_New(prepared.put()), E_FAIL);
    EXPECT_EQ(entries->Add(Text(L"EvNeverAdded")), E_FAIL);
    EXPECT_EQ(entries->Delete(Text(L"EvNeverAdded")), E_FAIL);
    EXPECT_FALSE(EntryExists(L"EvNeverAdded"));
}

TEST_F(Views, BackquoteEntriesAreListedOnlyWithShowDefault) {
    CreateEntry(L"`EvHidden");
    CreateEntry(L"EvVisible");
    common::ComPtr<IEntries> entries = EntriesView();
    auto listed = [&] {
        std::vector<std::wstring> names;
        LONG count = 0;
        entries->get_Count(&count);
        for (SHORT i = 1; i <= count; ++i) {
            common::UniqueBstr name;
            EXPECT_EQ(entries->get_Names(i, name.put()), S_OK);
            names.emplace_back(name.view());
        }
        common::UniqueBstr past;
        EXPECT_EQ(entries->get_Names(static_cast<SHORT>(count + 1), past.put()), E_INVALIDARG);
        EXPECT_EQ(entries->get_Names(0, past.put()), E_INVALIDARG);
        return names;
    };
    std::vector<std::wstring> names = listed();
    EXPECT_EQ(std::count(names.begin(), names.end(), L"EvVisible"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), L"`EvHidden"), 0);
    ASSERT_EQ(control_->put_ShowDefault(VARIANT_TRUE), S_OK);
    names = listed();
    EXPECT_EQ(std::count(names.begin(), names.end(), L"`EvHidden"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), L"EvVisible"), 1);
}

// Calls the entries getter from a thread of its own.
struct OtherThreadCall {
    IRASEntries* control;
    HRESULT result = S_OK;
    bool gotView = false;
    DWORD elapsed = 0;
};
DWORD WINAPI CallEntriesGetter(LPVOID parameter) {
    auto* call = static_cast<OtherThreadCall*>(parameter);
    const DWORD start = ::GetTickCount();
    IEntries* view = nullptr;
    call->result = call->control->get_Entries(&view);
    call->elapsed = ::GetTickCount() - start;
    call->gotView = view != nullptr;
    if (view != nullptr) {
        view->Release();
    }
    return 0;
}

TEST_F(Views, AnotherThreadIsRefusedAfterWaitingFiveSeconds) {
    OtherThreadCall call{control_.get()};
    common::UniqueKernel thread(::CreateThread(nullptr, 0, CallEntriesGetter, &call, 0, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(::WaitForSingleObject(thread.get(), 20000), WAIT_OBJECT_0);
    EXPECT_EQ(call.result, E_FAIL);
    EXPECT_FALSE(call.gotView);
    EXPECT_GE(call.elapsed, 4900u);
    // The creating thread still gets its views.
    EXPECT_TRUE(EntriesView());
}

TEST_F(Views, ANewControlIsTwentyEightPixelsSquare) {
    SIZEL extent = {};
    ASSERT_EQ(control_.as<IOleObject>()->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    const SIZEL designed = frame::ExtentOfPixels(28, 28);
    EXPECT_EQ(extent.cx, designed.cx);
    EXPECT_EQ(extent.cy, designed.cy);
}

TEST(ShowDefault, FollowsThePutProtocolAndIsSavedAfterTheExtent) {
    common::ComApartment apartment;
    ASSERT_EQ(RegisterEntroviaServer(), S_OK);
    testsupport::OleContainer container;
    ASSERT_EQ(container.CreateAndActivate(CLSID_RASEntries), S_OK);
    common::ComPtr<IRASEntries> control = container.As<IRASEntries>();
    ASSERT_TRUE(control);

    SIZEL extent = {};
    ASSERT_EQ(container.As<IOleObject>()->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    EXPECT_GT(extent.cx, 0);

    container.SetRefuseEdits(true);
    EXPECT_EQ(control->put_ShowDefault(VARIANT_TRUE), S_FALSE);
    VARIANT_BOOL shown = -5;
    control->get_ShowDefault(&shown);
    EXPECT_EQ(shown, 0);
    container.SetRefuseEdits(false);
    container.ClearNotifications();
    ASSERT_EQ(control->put_ShowDefault(VARIANT_TRUE), S_OK);
    EXPECT_EQ(container.ChangedProperties(), std::vector<DISPID>{5});

    auto bag = testsupport::PropertyBag::Create();
    ASSERT_EQ(container.As<IPersistPropertyBag>()->Save(bag.get(), TRUE, TRUE), S_OK);
    EXPECT_EQ(bag->Names(), (std::vector<std::wstring>{L"_cx", L"_cy", L"ShowDefault"}));
    EXPECT_EQ(bag->Find(L"ShowDefault")->boolVal, VARIANT_TRUE);
}

} // namespace
