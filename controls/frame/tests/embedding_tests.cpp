// What a container sees of the control: its window in the form, resizing,
// quick activation, view and data objects, object safety.
#include <windows.h>
#include <objsafe.h>

#include <gtest/gtest.h>

#include "sample_server.h"
#include "testsupport/ole_container.h"

namespace {

class Embedding : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = SampleServer::Get().Create();
        ASSERT_TRUE(sample_);
    }
    common::ComApartment apartment_;
    common::ComPtr<ISample> sample_;
};

TEST_F(Embedding, InPlaceActivationPutsTheControlWindowInTheForm) {
    testsupport::OleContainer container;
    ASSERT_EQ(container.Attach(sample_.get()), S_OK);
    ASSERT_EQ(container.Activate(), S_OK);
    EXPECT_TRUE(container.InPlaceActive());
    HWND window = container.ControlWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(::GetParent(window), container.Form());
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    EXPECT_STREQ(name, L"FrameSampleWindow");
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, container.Form(), reinterpret_cast<POINT*>(&rect), 2);
    const RECT site = container.SiteRect();
    EXPECT_EQ(rect.left, site.left);
    EXPECT_EQ(rect.right, site.right);

    const RECT moved = {20, 30, 120, 60};
    ASSERT_EQ(container.Resize(moved), S_OK);
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, container.Form(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 20);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right - rect.left, 100);
    EXPECT_EQ(rect.bottom - rect.top, 30);

    container.Close();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(container.InPlaceActive());
}

TEST_F(Embedding, ControlInvisibleAtRunTimeShowsOnlyInADesigner) {
    common::ComPtr<IClassFactory> factory;
    ASSERT_EQ(SampleServer::Get().getClassObject(CLSID_InvisibleSample, IID_IClassFactory,
                                                 factory.put_void()),
              S_OK);
    common::ComPtr<ISample> invisible;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ISample, invisible.put_void()), S_OK);
    DWORD misc = 0;
    invisible.as<IOleObject>()->GetMiscStatus(DVASPECT_CONTENT, &misc);
    EXPECT_EQ(misc, 132497u);

    testsupport::OleContainer container;
    ASSERT_EQ(container.Attach(invisible.get()), S_OK);
    ASSERT_EQ(container.Activate(), S_OK);
    HWND window = container.ControlWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window)) << "run time";
    container.SetUserMode(false);
    EXPECT_TRUE(::IsWindowVisible(window)) << "design time";
    container.SetUserMode(true);
    EXPECT_FALSE(::IsWindowVisible(window));
}

TEST_F(Embedding, WindowMadeBeforeActivationMovesIntoTheForm) {
    // RaiseLater makes the control's hidden window when it has none.
    ASSERT_EQ(sample_->RaiseLater(1), S_OK);
    testsupport::OleContainer container;
    ASSERT_EQ(container.Attach(sample_.get()), S_OK);
    ASSERT_EQ(container.Activate(), S_OK);
    HWND window = container.ControlWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::GetParent(window), container.Form());
    EXPECT_NE(::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD, 0);
    EXPECT_TRUE(::IsWindowVisible(window));
}

TEST_F(Embedding, QuickActivationConnectsTheContainersSinks) {
    auto events = testsupport::EventRecorder::Create(DIID__ISampleEvents);
    common::ComPtr<IQuickActivate> quick = sample_.as<IQuickActivate>();
    ASSERT_TRUE(quick);
    QACONTAINER container = {};
    container.cbSize = sizeof container;
    container.pUnkEventSink = events.as<IUnknown>().get();
    QACONTROL control = {};
    control.cbSize = sizeof control;
    ASSERT_EQ(quick->QuickActivate(&container, &control), S_OK);
    EXPECT_EQ(control.dwMiscStatus, 131473u);
    EXPECT_NE(control.dwEventCookie, 0u);
    common::UniqueBstr text(L"q");
    sample_->Raise(3, text.get());
    EXPECT_EQ(events->Events().size(), 1u);
}

TEST_F(Embedding, ViewAndDataObjectsDrawTheControl) {
    common::ComPtr<IOleObject> object = sample_.as<IOleObject>();
    DWORD misc = 0;
    ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &misc), S_OK);
    EXPECT_EQ(misc, 131473u);

    common::ComPtr<IViewObjectEx> view = sample_.as<IViewObjectEx>();
    ASSERT_TRUE(view);
    common::UniqueCreatedDc dc(::CreateCompatibleDC(nullptr));
    RECTL bounds = {0, 0, 50, 20};
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc.get(), &bounds,
                         nullptr, nullptr, 0),
              S_OK);

    common::ComPtr<IDataObject> data = sample_.as<IDataObject>();
    FORMATETC format = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    STGMEDIUM medium = {};
    ASSERT_EQ(data->GetData(&format, &medium), S_OK);
    EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_MFPICT));
    ::ReleaseStgMedium(&medium);
    FORMATETC text = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(data->QueryGetData(&text), DV_E_FORMATETC);
}

TEST_F(Embedding, ObjectSafetyIsOnFromCreationForEveryInterface) {
    common::ComPtr<IObjectSafety> safety = sample_.as<IObjectSafety>(IID_IObjectSafety);
    ASSERT_TRUE(safety);
    DWORD supported = 0;
    DWORD enabled = 0;
    ASSERT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
    EXPECT_EQ(supported, 3u);
    EXPECT_EQ(enabled, 3u);
    EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IClassFactory, &supported, &enabled),
              E_NOINTERFACE);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 4, 4), E_FAIL);
    EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, 1, 0), S_OK);
    safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled);
    EXPECT_EQ(enabled, 2u);
}

} // namespace
