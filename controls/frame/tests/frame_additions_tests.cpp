// The windowless in-place interface of every control, windows contained by
// a control, and event arguments by reference shared by every sink.
#include <windows.h>
#include <ocidl.h>

#include <vector>

#include <gtest/gtest.h>

#include "frame/connection_point.h"
#include "frame/contained_window.h"
#include "frame/event_args.h"
#include "sample_server.h"
#include "testsupport/event_handler.h"
#include "testsupport/ole_container.h"

namespace {

constexpr UINT kSampleRaiseMessage = WM_APP + 1; // the sample's own message

TEST(Windowless, ControlAnswersTheWindowlessInterfaceAndRoutesMessagesToItsTable) {
    common::ComApartment apartment;
    common::ComPtr<ISample> sample = SampleServer::Get().Create();
    ASSERT_TRUE(sample);
    testsupport::OleContainer container;
    ASSERT_EQ(container.Attach(sample.get()), S_OK);
    auto windowless = container.As<IOleInPlaceObjectWindowless>();
    ASSERT_TRUE(windowless);
    LRESULT result = -1;
    EXPECT_EQ(windowless->OnWindowMessage(kSampleRaiseMessage, 5, 0, &result), S_FALSE)
        << "no window yet";
    ASSERT_EQ(container.Activate(), S_OK);
    auto recorder = testsupport::EventRecorder::Create(DIID__ISampleEvents);
    auto connection = recorder->Connect(sample.get());
    EXPECT_EQ(windowless->OnWindowMessage(kSampleRaiseMessage, 5, 0, &result), S_OK);
    ASSERT_EQ(recorder->Events().size(), 1u);
    EXPECT_EQ(recorder->Events()[0].received[2]->lVal, 5);
    EXPECT_EQ(windowless->OnWindowMessage(WM_APP + 99, 0, 0, &result), S_FALSE);
    EXPECT_EQ(windowless->OnWindowMessage(WM_APP + 99, 0, 0, nullptr), E_POINTER);
    common::ComPtr<IDropTarget> target;
    EXPECT_EQ(windowless->GetDropTarget(target.put()), E_NOTIMPL);
    HWND window = nullptr;
    EXPECT_EQ(windowless->GetWindow(&window), S_OK);
    EXPECT_EQ(window, container.ControlWindow());
}

// An owner with a message table for a contained static window.
class Owner {
public:
    static std::span<const frame::Message<Owner>> Table() {
        static const frame::Message<Owner> table[] = {
            {WM_SETTEXT, &Owner::OnSetText},
            {WM_APP, &Owner::OnApp},
        };
        return table;
    }
    LRESULT OnSetText(WPARAM, LPARAM, bool& handled) {
        ++texts;
        handled = !passTextOn;
        return TRUE;
    }
    LRESULT OnApp(WPARAM wParam, LPARAM, bool&) { return static_cast<LRESULT>(wParam) * 2; }
    int texts = 0;
    bool passTextOn = false;
};

TEST(ContainedWindow, TableSeesMessagesFirstAndTheRestGoOnToTheWindow) {
    common::UniqueWindow window(::CreateWindowExW(0, L"STATIC", L"before", WS_POPUP, 0, 0, 10, 10,
                                                  nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window);
    Owner owner;
    frame::ContainedWindow<Owner> contained(&owner, &Owner::Table);
    ASSERT_TRUE(contained.Subclass(window.get()));
    EXPECT_FALSE(contained.Subclass(window.get())) << "once";
    EXPECT_EQ(::SendMessageW(window.get(), WM_APP, 21, 0), 42);

    ::SetWindowTextW(window.get(), L"swallowed");
    wchar_t text[32] = {};
    ::GetWindowTextW(window.get(), text, 32);
    EXPECT_STREQ(text, L"before");
    owner.passTextOn = true;
    ::SetWindowTextW(window.get(), L"passed");
    ::GetWindowTextW(window.get(), text, 32);
    EXPECT_STREQ(text, L"passed");
    EXPECT_EQ(owner.texts, 2);

    contained.Unsubclass();
    EXPECT_EQ(contained.get(), nullptr);
    EXPECT_EQ(::SendMessageW(window.get(), WM_APP, 21, 0), 0) << "its own procedure again";
    ::SetWindowTextW(window.get(), L"after");
    EXPECT_EQ(owner.texts, 2);
}

TEST(ContainedWindow, DestroyedWindowLetsGoByItself) {
    Owner owner;
    frame::ContainedWindow<Owner> contained(&owner, &Owner::Table);
    HWND window = ::CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_TRUE(contained.Subclass(window));
    ::DestroyWindow(window);
    EXPECT_EQ(contained.get(), nullptr);
}

// The smallest owner a connection point needs.
class PointOwner final : public IConnectionPointContainer {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID, IConnectionPoint**) override {
        return E_NOTIMPL;
    }
};

TEST(ByReferenceEvents, EverySinkWritesTheSameVariantInConnectionOrderAtTheGivenLocale) {
    PointOwner owner;
    frame::ConnectionPoint point(&owner, DIID__ISampleEvents);
    std::vector<LONG> seen;
    auto add = [&](LONG step) {
        return testsupport::EventHandler::Create(
            DIID__ISampleEvents, [&seen, step](DISPID, DISPPARAMS& params) {
                VARIANT* total = testsupport::EventHandler::ByRefArgument(params, 1);
                ASSERT_NE(total, nullptr);
                seen.push_back(total->lVal);
                total->lVal += step;
            });
    };
    auto first = add(1);
    auto second = add(10);
    DWORD cookie = 0;
    ASSERT_EQ(point.Advise(static_cast<IDispatch*>(first.get()), &cookie), S_OK);
    ASSERT_EQ(point.Advise(static_cast<IDispatch*>(second.get()), &cookie), S_OK);
    VARIANT total;
    ::VariantInit(&total);
    total.vt = VT_I4;
    total.lVal = 100;
    point.FireDispatch(7, {frame::event_args::I2(3), frame::event_args::ByRef(total)},
                       LOCALE_SYSTEM_DEFAULT);
    EXPECT_EQ(seen, (std::vector<LONG>{100, 101}));
    EXPECT_EQ(total.lVal, 111);
    ASSERT_EQ(first->Calls().size(), 1u);
    EXPECT_EQ(first->Calls()[0].locale, static_cast<LCID>(LOCALE_SYSTEM_DEFAULT));
    point.DisconnectAll();
}

} // namespace
