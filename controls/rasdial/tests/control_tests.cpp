// The control in a form and in the registry: design mode, its saved
// properties and its registration.
#include <windows.h>

#include <gtest/gtest.h>

#include "dial_fixture.h"
#include "frame/extent.h"
#include "testsupport/ole_stores.h"
#include "testsupport/registry_checks.h"

namespace {

using Control = DialTest;

TEST_F(Control, HandleIsRefusedInDesignMode) {
    LONG handle = -1;
    ASSERT_EQ(control_->get_Handle(&handle), S_OK);
    EXPECT_EQ(handle, 0);
    container_.SetUserMode(false);
    EXPECT_EQ(control_->get_Handle(&handle), E_FAIL);
    EXPECT_EQ(control_->get_Handle(nullptr), E_POINTER);
}

TEST_F(Control, SavesSyncDialAndSyncTimeoutAfterItsExtentAndLoadsThemBack) {
    VARIANT_BOOL sync = 0;
    SHORT timeout = 0;
    control_->get_SyncDial(&sync);
    control_->get_SyncTimeout(&timeout);
    EXPECT_EQ(sync, 1) << "a new control dials synchronously, stored as 1";
    EXPECT_EQ(timeout, 60);
    container_.SetRefuseEdits(true);
    EXPECT_EQ(control_->put_SyncTimeout(5), S_FALSE);
    container_.SetRefuseEdits(false);
    ASSERT_EQ(control_->put_SyncDial(0), S_OK);
    ASSERT_EQ(control_->put_SyncTimeout(-3), S_OK);
    EXPECT_EQ(container_.ChangedProperties(), (std::vector<DISPID>{6, 8}));

    auto bag = testsupport::PropertyBag::Create();
    ASSERT_EQ(container_.As<IPersistPropertyBag>()->Save(bag.get(), TRUE, TRUE), S_OK);
    EXPECT_EQ(bag->Names(),
              (std::vector<std::wstring>{L"_cx", L"_cy", L"SyncDial", L"SyncTimeout"}));

    testsupport::OleContainer other;
    ASSERT_EQ(other.Create(CLSID_RASDial), S_OK);
    ASSERT_EQ(other.As<IPersistPropertyBag>()->Load(bag.get(), nullptr), S_OK);
    common::ComPtr<IRASDial> loaded = other.As<IRASDial>();
    loaded->get_SyncDial(&sync);
    loaded->get_SyncTimeout(&timeout);
    EXPECT_EQ(sync, 0);
    EXPECT_EQ(timeout, -3);
}

TEST_F(Control, ANewControlIsTwentyEightPixelsSquare) {
    common::ComPtr<IOleObject> created;
    ASSERT_EQ(::CoCreateInstance(CLSID_RASDial, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                 created.put_void()),
              S_OK);
    SIZEL extent = {};
    ASSERT_EQ(created->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
    const SIZEL designed = frame::ExtentOfPixels(28, 28);
    EXPECT_EQ(extent.cx, designed.cx);
    EXPECT_EQ(extent.cy, designed.cy);
}

TEST_F(Control, RegisteredAsAnInsertableControlInvisibleAtRunTime) {
    const std::wstring cls = L"CLSID\\" + testsupport::ClassesValue(L"Dialvora.RASDial\\CLSID");
    EXPECT_EQ(testsupport::ClassesValue(L"Dialvora.RASDial\\CurVer"), L"Dialvora.RASDial.1");
    EXPECT_TRUE(testsupport::ClassesKeyExists(L"Dialvora.RASDial.1\\Insertable"));
    EXPECT_TRUE(testsupport::ClassesKeyExists(cls + L"\\Control"));
    EXPECT_EQ(testsupport::ClassesValue(cls + L"\\MiscStatus\\1"), L"132497");
    EXPECT_EQ(testsupport::ClassesValue(cls + L"\\verb\\0"), L"&Properties, 0, 2");
    EXPECT_EQ(testsupport::ClassesValue(cls + L"\\InprocServer32"),
              testsupport::LoadedModulePath(L"Dialvora.dll"));
    GUID library = {};
    ASSERT_EQ(::CLSIDFromString(testsupport::ClassesValue(cls + L"\\TypeLib").c_str(), &library),
              S_OK);
    common::ComPtr<ITypeLib> loaded;
    ASSERT_EQ(::LoadRegTypeLib(library, 1, 0, 0, loaded.put()), S_OK);
    common::ComPtr<ITypeInfo> events;
    ASSERT_EQ(loaded->GetTypeInfoOfGuid(DIID__IRASDialEvents, events.put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(events->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->cFuncs, 3);
    events->ReleaseTypeAttr(attributes);
}

} // namespace
