// The soft input panel manager as input methods and applications see it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/com.h"
#include "common/handle.h"
#include "input_method.h"
#include "sip.h"

namespace {

constexpr wchar_t kSipConfigKey[] = L"Software\\TerminalSimulator\\SIP";

// Two input methods of the test's own, and a class that is not one.
constexpr CLSID kFirstMethod = {
    0x7D3A1E20, 0x51B4, 0x4C0D, {0x9E, 0x61, 0x2F, 0x0B, 0x6A, 0x11, 0xC2, 0x01}};
constexpr CLSID kSecondMethod = {
    0x7D3A1E20, 0x51B4, 0x4C0D, {0x9E, 0x61, 0x2F, 0x0B, 0x6A, 0x11, 0xC2, 0x02}};
constexpr CLSID kNotAMethod = {
    0x7D3A1E20, 0x51B4, 0x4C0D, {0x9E, 0x61, 0x2F, 0x0B, 0x6A, 0x11, 0xC2, 0x03}};

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

// What the test input methods were told, in order.
std::vector<std::string> g_calls;
HWND g_selectedSip = nullptr;
IIMCallback* g_callback = nullptr;
DWORD g_callThread = 0;

class TestInputMethod final : public IInputMethod {
public:
    explicit TestInputMethod(std::string name) : name_(std::move(name)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IInputMethod) {
            *object = static_cast<IInputMethod*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --refs_;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE Select(HWND sip) override {
        Record("Select");
        g_selectedSip = sip;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Deselect() override {
        Record("Deselect");
        g_callback = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Showing() override { return Record("Showing"); }
    HRESULT STDMETHODCALLTYPE Hiding() override { return Record("Hiding"); }
    HRESULT STDMETHODCALLTYPE GetInfo(IMINFO* info) override {
        Record("GetInfo");
        return info != nullptr && info->cbSize == sizeof(IMINFO) ? S_OK : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE ReceiveSipInfo(SIPINFO* info) override {
        return Record(info != nullptr && info->cbSize == SIPINFO_SIZE ? "ReceiveSipInfo"
                                                                      : "ReceiveSipInfo(bad)");
    }
    HRESULT STDMETHODCALLTYPE RegisterCallback(IIMCallback* callback) override {
        g_callback = callback;
        return Record("RegisterCallback");
    }
    HRESULT STDMETHODCALLTYPE GetImData(DWORD, void*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetImData(DWORD, void*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UserOptionsDlg(HWND parent) override {
        return Record(parent == g_selectedSip ? "UserOptionsDlg" : "UserOptionsDlg(bad)");
    }

private:
    HRESULT Record(const char* call) {
        g_calls.push_back(name_ + ":" + call);
        g_callThread = ::GetCurrentThreadId();
        return S_OK;
    }
    std::string name_;
    ULONG refs_ = 0;
};

class Factory final : public IClassFactory {
public:
    explicit Factory(const char* name) : name_(name) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override {
        auto* method = new TestInputMethod(name_);
        method->AddRef();
        HRESULT hr = method->QueryInterface(iid, object);
        method->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    const char* name_;
};

Factory g_firstFactory("first");
Factory g_secondFactory("second");

// Registers a class under HKEY_CLASSES_ROOT for one test and removes it after.
class ClassKey {
public:
    ClassKey(const CLSID& clsid, const wchar_t* name, const wchar_t* isInputMethod)
        : path_(L"CLSID\\" + GuidText(clsid)) {
        common::UniqueKey key;
        ::RegCreateKeyExW(HKEY_CLASSES_ROOT, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          key.put(), nullptr);
        ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                         static_cast<DWORD>((wcslen(name) + 1) * sizeof(wchar_t)));
        if (isInputMethod != nullptr) {
            ::RegSetKeyValueW(key.get(), L"IsSIPInputMethod", nullptr, REG_SZ, isInputMethod,
                              static_cast<DWORD>((wcslen(isInputMethod) + 1) * sizeof(wchar_t)));
        }
    }
    ~ClassKey() { ::RegDeleteTreeW(HKEY_CLASSES_ROOT, path_.c_str()); }

private:
    std::wstring path_;
};

// A value of the manager's configuration for one test.
class SipConfig {
public:
    SipConfig() {
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSipConfigKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          key_.put(), nullptr);
    }
    ~SipConfig() {
        for (const std::wstring& name : written_) {
            ::RegDeleteValueW(key_.get(), name.c_str());
        }
    }
    void Set(const wchar_t* name, DWORD value) {
        ::RegSetValueExW(key_.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                         sizeof(value));
        written_.push_back(name);
    }
    void Set(const wchar_t* name, const std::wstring& text) {
        ::RegSetValueExW(key_.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        written_.push_back(name);
    }

private:
    common::UniqueKey key_;
    std::vector<std::wstring> written_;
};

SIPINFO Info() {
    SIPINFO info = {};
    info.cbSize = SIPINFO_SIZE;
    EXPECT_TRUE(SipGetInfo(&info));
    return info;
}

void SetFlags(DWORD flags) {
    SIPINFO info = Info();
    info.fdwFlags = flags;
    ASSERT_TRUE(SipSetInfo(&info));
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

class SipManager : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::CoRegisterClassObject(kFirstMethod, &g_firstFactory, CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &firstCookie_),
                  S_OK);
        ASSERT_EQ(::CoRegisterClassObject(kSecondMethod, &g_secondFactory, CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &secondCookie_),
                  S_OK);
        config_.Set(L"DefaultIM", GuidText(kFirstMethod));
        TerminalResetSip();
        g_calls.clear();
    }
    void TearDown() override {
        TerminalResetSip();
        ::CoRevokeClassObject(firstCookie_);
        ::CoRevokeClassObject(secondCookie_);
    }

    static CLSID Current() {
        CLSID clsid = GUID_NULL;
        EXPECT_TRUE(SipGetCurrentIM(&clsid));
        return clsid;
    }
    static bool Select(CLSID clsid) { return SipSetCurrentIM(&clsid) != FALSE; }

    common::ComApartment apartment_;
    ClassKey first_{kFirstMethod, L"First Test Method", L"1"};
    ClassKey second_{kSecondMethod, L"Second Test Method", L"1"};
    ClassKey other_{kNotAMethod, L"Not An Input Method", L"0"};
    SipConfig config_;
    DWORD firstCookie_ = 0;
    DWORD secondCookie_ = 0;
};

TEST_F(SipManager, InformationRecordIsFortyEightBytesAndKeepsTheFlagsWord) {
    SIPINFO info = {};
    info.cbSize = 56;
    EXPECT_FALSE(SipGetInfo(&info));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(SipSetInfo(&info));
    EXPECT_FALSE(SipGetInfo(nullptr));

    info = Info();
    EXPECT_EQ(info.fdwFlags, 0u);
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(info.rcSipRect.bottom, work.bottom);
    EXPECT_EQ(info.rcSipRect.left, work.left);
    EXPECT_EQ(info.rcSipRect.right - info.rcSipRect.left, 240);
    EXPECT_EQ(info.rcSipRect.bottom - info.rcSipRect.top, 80);
    EXPECT_TRUE(::EqualRect(&info.rcVisibleDesktop, &work));

    SetFlags(SIPF_LOCKED | SIPF_DISABLECOMPLETION);
    EXPECT_EQ(Info().fdwFlags, SIPF_LOCKED | SIPF_DISABLECOMPLETION);
    EXPECT_EQ(TerminalSipWindow(), nullptr) << "only showing needs the window";

    // The shell's helper reads and writes the same record.
    SIPINFO shell = {};
    shell.cbSize = SIPINFO_SIZE;
    ASSERT_TRUE(SHSipInfo(SPI_GETSIPINFO, 0, &shell, 0));
    EXPECT_EQ(shell.fdwFlags, SIPF_LOCKED | SIPF_DISABLECOMPLETION);
    shell.fdwFlags = SIPF_DISABLECOMPLETION;
    ASSERT_TRUE(SHSipInfo(SPI_SETSIPINFO, 0, &shell, 0));
    EXPECT_EQ(Info().fdwFlags, SIPF_DISABLECOMPLETION);
    EXPECT_FALSE(SHSipInfo(12345, 0, &shell, 0));
}

TEST_F(SipManager, PanelSizeComesFromTheTerminalConfiguration) {
    config_.Set(L"Width", 200);
    config_.Set(L"Height", 100);
    TerminalResetSip();
    SIPINFO info = Info();
    EXPECT_EQ(info.rcSipRect.right - info.rcSipRect.left, 200);
    EXPECT_EQ(info.rcSipRect.bottom - info.rcSipRect.top, 100);
}

TEST_F(SipManager, EnumerationReportsOnlyClassesMarkedAsInputMethods) {
    struct Seen {
        std::vector<std::wstring> names;
        std::vector<CLSID> classes;
    };
    static Seen seen;
    seen = {};
    const int count = SipEnumIM([](IMENUMINFO* info) {
        seen.names.push_back(info->szName);
        seen.classes.push_back(info->clsid);
        return 1;
    });
    EXPECT_EQ(count, static_cast<int>(seen.names.size()));
    bool first = false;
    bool second = false;
    for (size_t i = 0; i < seen.classes.size(); ++i) {
        EXPECT_NE(seen.classes[i], kNotAMethod);
        if (seen.classes[i] == kFirstMethod) {
            first = true;
            EXPECT_EQ(seen.names[i], L"First Test Method");
        }
        second = second || seen.classes[i] == kSecondMethod;
    }
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);

    static int calls = 0;
    calls = 0;
    EXPECT_EQ(SipEnumIM([](IMENUMINFO*) { return ++calls, 0; }), 1) << "a zero answer stops";
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(SipEnumIM(nullptr), 0);

    // A class registered later is listed at the next enumeration.
    const int before = SipEnumIM([](IMENUMINFO*) { return 1; });
    ClassKey third({0x7D3A1E20, 0x51B4, 0x4C0D, {0x9E, 0x61, 0x2F, 0x0B, 0x6A, 0x11, 0xC2, 0x04}},
                   L"Third Test Method", L"1");
    EXPECT_EQ(SipEnumIM([](IMENUMINFO*) { return 1; }), before + 1);
}

TEST_F(SipManager, InputMethodIsLoadedShownHiddenAndUnloadedInThePlatformOrder) {
    ASSERT_TRUE(Select(kSecondMethod));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"second:Select", "second:RegisterCallback",
                                                 "second:GetInfo", "second:ReceiveSipInfo"}));
    HWND sip = TerminalSipWindow();
    ASSERT_NE(sip, nullptr);
    EXPECT_EQ(g_selectedSip, sip);
    wchar_t name[32] = {};
    ::GetClassNameW(sip, name, 32);
    EXPECT_STREQ(name, L"SipWndClass");
    EXPECT_FALSE(::IsWindowVisible(sip));
    EXPECT_EQ(Current(), kSecondMethod);

    g_calls.clear();
    SetFlags(SIPF_ON | SIPF_LOCKED);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"second:Showing"}));
    EXPECT_TRUE(::IsWindowVisible(sip));
    SIPINFO info = Info();
    EXPECT_EQ(info.fdwFlags, SIPF_ON | SIPF_LOCKED);
    EXPECT_EQ(info.rcVisibleDesktop.bottom, info.rcSipRect.top) << "the panel covers the bottom";
    RECT window = {};
    ::GetWindowRect(sip, &window);
    EXPECT_TRUE(::EqualRect(&window, &info.rcSipRect));

    // Switching while shown hides and deselects the old one, then shows the new one.
    g_calls.clear();
    ASSERT_TRUE(Select(kFirstMethod));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"second:Hiding", "second:Deselect", "first:Select",
                                                 "first:RegisterCallback", "first:GetInfo",
                                                 "first:ReceiveSipInfo", "first:Showing"}));

    g_calls.clear();
    SetFlags(SIPF_LOCKED);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"first:Hiding"}));
    EXPECT_FALSE(::IsWindowVisible(sip));

    g_calls.clear();
    TerminalResetSip();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"first:Deselect"}));
    EXPECT_FALSE(::IsWindow(sip));
}

TEST_F(SipManager, ContextMenuOfThePanelOpensTheInputMethodsOptions) {
    ASSERT_TRUE(Select(kFirstMethod));
    g_calls.clear();
    ::SendMessageW(TerminalSipWindow(), WM_CONTEXTMENU,
                   reinterpret_cast<WPARAM>(TerminalSipWindow()), MAKELPARAM(10, 300));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"first:UserOptionsDlg"}));
}

TEST_F(SipManager, ShowingMakesTheWindowAndLoadsTheDefaultInputMethod) {
    SetFlags(SIPF_ON);
    EXPECT_EQ(g_calls,
              (std::vector<std::string>{"first:Select", "first:RegisterCallback", "first:GetInfo",
                                        "first:ReceiveSipInfo", "first:Showing"}));
    ASSERT_NE(TerminalSipWindow(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(TerminalSipWindow()));
}

TEST_F(SipManager, AllZeroIdentifierSelectsTheDefaultInputMethod) {
    ASSERT_TRUE(Select(kSecondMethod));
    EXPECT_EQ(Current(), kSecondMethod);
    ASSERT_TRUE(Select(GUID_NULL));
    EXPECT_EQ(Current(), kFirstMethod);

    // Without a configured default, the first installed one is the default.
    config_.Set(L"DefaultIM", std::wstring(L"{00000000-0000-0000-0000-00000000FFFF}"));
    TerminalResetSip();
    static CLSID firstListed;
    SipEnumIM([](IMENUMINFO* info) {
        firstListed = info->clsid;
        return 0;
    });
    EXPECT_EQ(Current(), firstListed);
}

TEST_F(SipManager, SelectingAClassThatIsNoInputMethodFailsAndKeepsTheCurrentOne) {
    ASSERT_TRUE(Select(kSecondMethod));
    g_calls.clear();
    EXPECT_FALSE(Select(kNotAMethod));
    EXPECT_FALSE(SipSetCurrentIM(nullptr));
    EXPECT_EQ(Current(), kSecondMethod);
    EXPECT_TRUE(g_calls.empty());

    // Listed, but its server cannot be had: still the old one.
    constexpr CLSID kOrphan = {
        0x7D3A1E20, 0x51B4, 0x4C0D, {0x9E, 0x61, 0x2F, 0x0B, 0x6A, 0x11, 0xC2, 0x05}};
    ClassKey orphan(kOrphan, L"Server Missing", L"1");
    EXPECT_FALSE(Select(kOrphan));
    EXPECT_EQ(Current(), kSecondMethod);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(SipManager, ShellPreferenceRaisesAndLowersThePanel) {
    common::UniqueWindow app(::CreateWindowExW(0, L"STATIC", L"app", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                               100, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(SHSipPreference(app.get(), SIP_UP));
    EXPECT_EQ(Info().fdwFlags & SIPF_ON, SIPF_ON);
    EXPECT_TRUE(::IsWindowVisible(TerminalSipWindow()));
    ASSERT_TRUE(SHSipPreference(app.get(), SIP_UNCHANGED));
    EXPECT_EQ(Info().fdwFlags & SIPF_ON, SIPF_ON);
    ASSERT_TRUE(SHSipPreference(app.get(), SIP_FORCEDOWN));
    EXPECT_EQ(Info().fdwFlags & SIPF_ON, 0u);
    EXPECT_FALSE(::IsWindowVisible(TerminalSipWindow()));
    ASSERT_TRUE(SHSipPreference(app.get(), SIP_UP));
    ASSERT_TRUE(SHSipPreference(app.get(), SIP_DOWN));
    EXPECT_EQ(Info().fdwFlags & SIPF_ON, 0u);

    EXPECT_FALSE(SHSipPreference(nullptr, SIP_UP));
    EXPECT_FALSE(SHSipPreference(app.get(), static_cast<SIPSTATE>(9)));
    EXPECT_EQ(Info().fdwFlags & SIPF_ON, 0u);
}

TEST_F(SipManager, StatusFollowsTheTerminalConfiguration) {
    EXPECT_EQ(SipStatus(), SIP_STATUS_AVAILABLE);
    config_.Set(L"Available", 0);
    EXPECT_EQ(SipStatus(), SIP_STATUS_UNAVAILABLE);
}

TEST_F(SipManager, SendStringTypesIntoTheWindowWithTheFocus) {
    ASSERT_TRUE(Select(kFirstMethod));
    ASSERT_NE(g_callback, nullptr);
    common::UniqueWindow form(::CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW, 0, 0,
                                                200, 100, nullptr, nullptr, nullptr, nullptr));
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 150, 20, form.get(),
                                  nullptr, nullptr, nullptr);
    ::ShowWindow(form.get(), SW_SHOW);
    ::SetFocus(edit);
    ASSERT_EQ(::GetFocus(), edit);

    common::UniqueBstr text(L"42");
    EXPECT_EQ(g_callback->SendString(text.get(), 2), S_OK);
    // A length past the text's end stops at its terminator.
    common::UniqueBstr more(L"7");
    EXPECT_EQ(g_callback->SendString(more.get(), 50), S_OK);
    Pump();
    wchar_t typed[32] = {};
    ::GetWindowTextW(edit, typed, 32);
    EXPECT_STREQ(typed, L"427");
    EXPECT_EQ(g_callback->SendString(nullptr, 3), E_INVALIDARG);

    ::SetFocus(nullptr);
    EXPECT_EQ(g_callback->SendString(text.get(), 2), E_FAIL) << "nobody to type into";
}

DWORD WINAPI ShowFromAnotherThread(LPVOID) {
    SIPINFO info = {};
    info.cbSize = SIPINFO_SIZE;
    SipGetInfo(&info);
    info.fdwFlags |= SIPF_ON;
    return SipSetInfo(&info) ? 0 : 1;
}

TEST_F(SipManager, InputMethodIsCalledOnTheSipWindowThread) {
    ASSERT_TRUE(Select(kFirstMethod));
    g_calls.clear();
    common::UniqueKernel thread(
        ::CreateThread(nullptr, 0, ShowFromAnotherThread, nullptr, 0, nullptr));
    ASSERT_TRUE(thread.valid());
    HANDLE handles[] = {thread.get()};
    for (;;) {
        DWORD wait = ::MsgWaitForMultipleObjects(1, handles, FALSE, 10000, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1) {
            ASSERT_EQ(wait, WAIT_OBJECT_0);
            break;
        }
        Pump();
    }
    EXPECT_EQ(g_calls, (std::vector<std::string>{"first:Showing"}));
    EXPECT_EQ(g_callThread, ::GetCurrentThreadId());
    EXPECT_TRUE(::IsWindowVisible(TerminalSipWindow()));
}

} // namespace
