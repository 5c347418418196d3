// WinHook: hooked windows report every message to the newest hook object.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "common/com.h"
#include "common/handle.h"
#include "deviceapi_server.h"
#include "testsupport/event_sink.h"

namespace {

constexpr UINT kProbe = WM_APP + 7;

// What each window's own procedure saw: the window, then the message.
std::vector<std::pair<HWND, UINT>> g_seen;

LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbe) {
        g_seen.emplace_back(window, message);
        return 42;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

struct Message {
    LONG hWnd, message, lParam, wParam;
};

class MessageSink final : public testsupport::EventSink {
public:
    MessageSink() : EventSink(DIID__IWinHookEvents) {}
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (id == 1 && params->cArgs == 4 &&
            V_I4(&params->rgvarg[2]) == static_cast<LONG>(kProbe)) {
            // Arguments arrive reversed: wParam, lParam, Message, hWnd.
            received.push_back({V_I4(&params->rgvarg[3]), V_I4(&params->rgvarg[2]),
                                V_I4(&params->rgvarg[1]), V_I4(&params->rgvarg[0])});
        }
        return S_OK;
    }
    std::vector<Message> received;
};

class WinHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
        WNDCLASSW cls = {};
        cls.lpfnWndProc = OwnProc;
        cls.lpszClassName = L"WinHookTestWindow";
        ::RegisterClassW(&cls);
        g_seen.clear();
    }
    common::ComPtr<IWinHook> NewHook() {
        common::ComPtr<IWinHook> hook;
        EXPECT_EQ(::CoCreateInstance(CLSID_WinHook, nullptr, CLSCTX_INPROC_SERVER, IID_IWinHook,
                                     reinterpret_cast<void**>(hook.put())),
                  S_OK);
        return hook;
    }
    static common::UniqueWindow NewWindow() {
        return common::UniqueWindow(::CreateWindowExW(0, L"WinHookTestWindow", L"", WS_POPUP, 0, 0,
                                                      10, 10, nullptr, nullptr, nullptr, nullptr));
    }
    static LONG Long(HWND window) { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(window)); }

    common::ComApartment apartment_;
};

TEST_F(WinHookTest, EachHookedWindowReachesItsOwnProcedureAfterTheEvent) {
    common::ComPtr<IWinHook> hook = NewHook();
    MessageSink sink;
    sink.AddRef();
    testsupport::SinkConnection connection = sink.Connect(hook.get());
    ASSERT_EQ(connection.result(), S_OK);
    common::UniqueWindow first = NewWindow(), second = NewWindow();
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_EQ(hook->Hook(Long(first.get()), VARIANT_TRUE, &result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE);
    ASSERT_EQ(hook->Hook(Long(second.get()), VARIANT_TRUE, &result), S_OK);

    ::SendMessageW(first.get(), kProbe, 5, 9);
    ::SendMessageW(second.get(), kProbe, 6, 10);
    ASSERT_EQ(sink.received.size(), 2u);
    EXPECT_EQ(sink.received[0].hWnd, Long(first.get()));
    EXPECT_EQ(sink.received[0].lParam, 9);
    EXPECT_EQ(sink.received[0].wParam, 5);
    EXPECT_EQ(sink.received[1].hWnd, Long(second.get()));
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].first, first.get());
    EXPECT_EQ(g_seen[1].first, second.get());

    ASSERT_EQ(hook->Unhook(Long(first.get()), &result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE);
    ::SendMessageW(first.get(), kProbe, 0, 0);
    EXPECT_EQ(sink.received.size(), 2u);
    EXPECT_EQ(g_seen.size(), 3u);
    hook->Unhook(Long(second.get()), &result);
}

TEST_F(WinHookTest, WithoutDefaultProcTheWindowNeverSeesTheMessage) {
    common::ComPtr<IWinHook> hook = NewHook();
    common::UniqueWindow window = NewWindow();
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_EQ(hook->Hook(Long(window.get()), VARIANT_FALSE, &result), S_OK);
    ::SendMessageW(window.get(), kProbe, 0, 0);
    EXPECT_TRUE(g_seen.empty());
    hook->Unhook(Long(window.get()), &result);
}

TEST_F(WinHookTest, SeventeenthWindowIsRefusedWithNoResult) {
    common::ComPtr<IWinHook> hook = NewHook();
    std::vector<common::UniqueWindow> windows;
    VARIANT_BOOL result = VARIANT_FALSE;
    for (int i = 0; i < 16; ++i) {
        windows.push_back(NewWindow());
        ASSERT_EQ(hook->Hook(Long(windows.back().get()), VARIANT_TRUE, &result), S_OK);
        ASSERT_EQ(result, VARIANT_TRUE);
    }
    common::UniqueWindow extra = NewWindow();
    const LONG_PTR own = ::GetWindowLongPtrW(extra.get(), GWLP_WNDPROC);
    result = 7;
    EXPECT_EQ(hook->Hook(Long(extra.get()), VARIANT_TRUE, &result), S_OK);
    EXPECT_EQ(result, 7);
    EXPECT_EQ(::GetWindowLongPtrW(extra.get(), GWLP_WNDPROC), own);
    result = 7;
    EXPECT_EQ(hook->Unhook(Long(extra.get()), &result), S_OK); // not hooked: no result
    EXPECT_EQ(result, 7);
    for (auto& w : windows) {
        hook->Unhook(Long(w.get()), &result);
    }
}

TEST_F(WinHookTest, ReleasedHookObjectGivesWindowsTheirProceduresBack) {
    common::UniqueWindow window = NewWindow();
    const LONG_PTR own = ::GetWindowLongPtrW(window.get(), GWLP_WNDPROC);
    {
        common::ComPtr<IWinHook> hook = NewHook();
        VARIANT_BOOL result = VARIANT_FALSE;
        ASSERT_EQ(hook->Hook(Long(window.get()), VARIANT_FALSE, &result), S_OK);
        ASSERT_EQ(hook->Hook(Long(window.get()), VARIANT_FALSE, &result), S_OK); // twice
    }
    EXPECT_EQ(::GetWindowLongPtrW(window.get(), GWLP_WNDPROC), own);
    EXPECT_EQ(::SendMessageW(window.get(), kProbe, 0, 0), 42);
    EXPECT_EQ(g_seen.size(), 1u);
}

TEST_F(WinHookTest, WindowHookedTwiceReachesItsProcedureOnceAndUnhooksInTurn) {
    common::ComPtr<IWinHook> hook = NewHook();
    common::UniqueWindow window = NewWindow();
    const LONG_PTR own = ::GetWindowLongPtrW(window.get(), GWLP_WNDPROC);
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_EQ(hook->Hook(Long(window.get()), VARIANT_TRUE, &result), S_OK);
    ASSERT_EQ(hook->Hook(Long(window.get()), VARIANT_TRUE, &result), S_OK);
    EXPECT_EQ(::SendMessageW(window.get(), kProbe, 0, 0), 42);
    EXPECT_EQ(g_seen.size(), 1u);
    ASSERT_EQ(hook->Unhook(Long(window.get()), &result), S_OK);
    EXPECT_NE(::GetWindowLongPtrW(window.get(), GWLP_WNDPROC), own); // still hooked once
    ASSERT_EQ(hook->Unhook(Long(window.get()), &result), S_OK);
    EXPECT_EQ(::GetWindowLongPtrW(window.get(), GWLP_WNDPROC), own);
}

TEST_F(WinHookTest, NewestObjectReceivesTheEventsOfOlderHooks) {
    common::ComPtr<IWinHook> older = NewHook();
    common::UniqueWindow window = NewWindow();
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_EQ(older->Hook(Long(window.get()), VARIANT_TRUE, &result), S_OK);
    MessageSink olderSink, newerSink;
    olderSink.AddRef();
    newerSink.AddRef();
    testsupport::SinkConnection a = olderSink.Connect(older.get());
    common::ComPtr<IWinHook> newer = NewHook();
    testsupport::SinkConnection b = newerSink.Connect(newer.get());
    ::SendMessageW(window.get(), kProbe, 0, 0);
    EXPECT_TRUE(olderSink.received.empty());
    EXPECT_EQ(newerSink.received.size(), 1u);
    EXPECT_TRUE(g_seen.empty()); // the newest table has no entry for it
    b.Disconnect();
    newer.reset();
    // With the newer object gone, the older one is active again.
    ::SendMessageW(window.get(), kProbe, 0, 0);
    EXPECT_EQ(olderSink.received.size(), 1u);
    EXPECT_EQ(g_seen.size(), 1u);
    a.Disconnect();
    older->Unhook(Long(window.get()), &result);
}

} // namespace
