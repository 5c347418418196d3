// SipVorp: the script's view of the soft input panel.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sip.h"
#include "sip_fixture.h"

namespace {

constexpr wchar_t kSipConfigKey[] = L"Software\\TerminalSimulator\\SIP";
constexpr CLSID kLateMethod = {
    0x3E1F7A52, 0x9C4D, 0x4B8A, {0xA1, 0x07, 0x5D, 0x22, 0x8E, 0x90, 0x4F, 0x61}};

// A second, trivial input method that does nothing but be there.
class LateMethod final : public IInputMethod, public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IInputMethod) {
            *object = static_cast<IInputMethod*>(this);
        } else if (iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Select(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Deselect() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Showing() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Hiding() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetInfo(IMINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReceiveSipInfo(SIPINFO*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RegisterCallback(IIMCallback*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetImData(DWORD, void*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE SetImData(DWORD, void*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UserOptionsDlg(HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override {
        return QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};
LateMethod g_late;

std::wstring Text(const CLSID& clsid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(clsid, text, 40);
    return text;
}

// A class registered as an input method for one test.
class ClassKeyForTest {
public:
    explicit ClassKeyForTest(const CLSID& clsid) : path_(L"CLSID\\" + Text(clsid)) {
        const wchar_t name[] = L"Late Input Method";
        ::RegSetKeyValueW(HKEY_CLASSES_ROOT, path_.c_str(), nullptr, REG_SZ, name, sizeof(name));
        ::RegSetKeyValueW(HKEY_CLASSES_ROOT, (path_ + L"\\IsSIPInputMethod").c_str(), nullptr,
                          REG_SZ, L"1", 2 * sizeof(wchar_t));
    }
    ~ClassKeyForTest() { ::RegDeleteTreeW(HKEY_CLASSES_ROOT, path_.c_str()); }

private:
    std::wstring path_;
};

class SipControl : public KeyboardTest {
protected:
    void SetUp() override {
        KeyboardTest::SetUp();
        sip_ = NewSip();
        ASSERT_TRUE(sip_);
    }
    void TearDown() override {
        sip_.reset();
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSipConfigKey, L"Available");
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kSipConfigKey, L"DefaultIM");
        KeyboardTest::TearDown();
    }
    static common::ComPtr<ISipVorp> NewSip() {
        common::ComPtr<ISipVorp> sip;
        EXPECT_EQ(::CoCreateInstance(CLSID_SipVorp, nullptr, CLSCTX_INPROC_SERVER, IID_ISipVorp,
                                     sip.put_void()),
                  S_OK);
        return sip;
    }
    LONG IndexOf(const CLSID& clsid) {
        LONG count = 0;
        sip_->get_SipCount(&count);
        for (LONG i = 1; i <= count; ++i) {
            common::UniqueBstr text;
            sip_->get_SipCLSID(i, text.put());
            if (text.view() == Text(clsid)) {
                return i;
            }
        }
        return 0;
    }
    DWORD Flags() {
        SIPINFO info = {};
        info.cbSize = SIPINFO_SIZE;
        SipGetInfo(&info);
        return info.fdwFlags;
    }

    common::ComPtr<ISipVorp> sip_;
};

TEST_F(SipControl, ListsTheInstalledInputMethodsInTheOrderThePlatformGivesThem) {
    static std::vector<IMENUMINFO> listed;
    listed.clear();
    SipEnumIM([](IMENUMINFO* info) {
        listed.push_back(*info);
        return 1;
    });
    LONG count = 0;
    ASSERT_EQ(sip_->get_SipCount(&count), S_OK);
    ASSERT_EQ(count, static_cast<LONG>(listed.size()));
    ASSERT_GE(count, 1);
    for (LONG i = 1; i <= count; ++i) {
        common::UniqueBstr name;
        common::UniqueBstr clsid;
        ASSERT_EQ(sip_->get_SipName(i, name.put()), S_OK);
        ASSERT_EQ(sip_->get_SipCLSID(i, clsid.put()), S_OK);
        EXPECT_EQ(name.view(), listed[i - 1].szName);
        EXPECT_EQ(clsid.view(), Text(listed[i - 1].clsid));
    }
    EXPECT_NE(IndexOf(CLSID_KeyboardVorp), 0);

    common::UniqueBstr none;
    EXPECT_EQ(sip_->get_SipName(count + 1, none.put()), E_INVALIDARG);
    EXPECT_EQ(sip_->get_SipName(0, none.put()), E_INVALIDARG);
    EXPECT_EQ(sip_->get_SipCLSID(count + 1, none.put()), E_INVALIDARG);
    EXPECT_EQ(sip_->get_SipName(1, nullptr), E_POINTER);
    EXPECT_EQ(sip_->get_SipCount(nullptr), E_POINTER);
}

TEST_F(SipControl, SelectKeyboardVorpMakesTheKeyboardPanelCurrent) {
    ASSERT_EQ(sip_->SelectKeyboardVorp(), S_OK);
    const LONG keyboard = IndexOf(CLSID_KeyboardVorp);
    LONG current = 0;
    ASSERT_EQ(sip_->get_CurrentSip(&current), S_OK);
    EXPECT_EQ(current, keyboard);
    BOOL selected = 0;
    ASSERT_EQ(sip_->get_SipSelected(keyboard, &selected), S_OK);
    EXPECT_EQ(selected, -1);
    EXPECT_NE(Panel(), nullptr) << "loaded into the SIP window";

    LONG count = 0;
    sip_->get_SipCount(&count);
    // Unselecting does nothing, whatever the index.
    EXPECT_EQ(sip_->put_SipSelected(keyboard, 0), S_OK);
    EXPECT_EQ(sip_->put_SipSelected(count + 5, 0), S_OK);
    sip_->get_CurrentSip(&current);
    EXPECT_EQ(current, keyboard);
    EXPECT_EQ(sip_->put_SipSelected(count + 5, -1), E_INVALIDARG);
    EXPECT_EQ(sip_->get_SipSelected(count + 5, &selected), E_INVALIDARG);
}

TEST_F(SipControl, SelectDefaultSipSelectsTheTerminalsDefault) {
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSipConfigKey, L"DefaultIM", REG_SZ,
                      Text(CLSID_KeyboardVorp).c_str(), 39 * sizeof(wchar_t));
    DWORD cookie = 0;
    ASSERT_EQ(::CoRegisterClassObject(kLateMethod, static_cast<IClassFactory*>(&g_late),
                                      CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    {
        ClassKeyForTest late(kLateMethod);
        sip_ = NewSip();
        ASSERT_EQ(sip_->put_SipSelected(IndexOf(kLateMethod), -1), S_OK);
        LONG current = 0;
        sip_->get_CurrentSip(&current);
        EXPECT_EQ(current, IndexOf(kLateMethod));
        ASSERT_EQ(sip_->SelectDefaultSIP(), S_OK);
        sip_->get_CurrentSip(&current);
        EXPECT_EQ(current, IndexOf(CLSID_KeyboardVorp));
    }
    TerminalResetSip();
    ::CoRevokeClassObject(cookie);
}

TEST_F(SipControl, CurrentSipFailsForAnInputMethodInstalledAfterTheListsWereMade) {
    DWORD cookie = 0;
    ASSERT_EQ(::CoRegisterClassObject(kLateMethod, static_cast<IClassFactory*>(&g_late),
                                      CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    {
        ClassKeyForTest late(kLateMethod);
        CLSID clsid = kLateMethod;
        ASSERT_TRUE(SipSetCurrentIM(&clsid));
        LONG current = 0;
        EXPECT_EQ(sip_->get_CurrentSip(&current), E_FAIL);
        EXPECT_EQ(sip_->SelectKeyboardVorp(), S_OK);

        // A new object lists it, for every object of the process.
        auto fresh = NewSip();
        ASSERT_TRUE(SipSetCurrentIM(&clsid));
        ASSERT_EQ(sip_->get_CurrentSip(&current), S_OK);
        EXPECT_EQ(current, IndexOf(kLateMethod));
    }
    TerminalResetSip();
    ::CoRevokeClassObject(cookie);
}

TEST_F(SipControl, ShowSetsTheOnBitAndAlwaysLocksThePanel) {
    ASSERT_EQ(sip_->put_Show(-1), S_OK);
    EXPECT_EQ(Flags(), SIPF_ON | SIPF_LOCKED);
    EXPECT_TRUE(::IsWindowVisible(SipWindow()));
    BOOL shown = 0;
    ASSERT_EQ(sip_->get_Show(&shown), S_OK);
    EXPECT_EQ(shown, -1);
    ASSERT_EQ(sip_->put_Show(0), S_OK);
    EXPECT_EQ(Flags(), SIPF_LOCKED);
    EXPECT_FALSE(::IsWindowVisible(SipWindow()));
    sip_->get_Show(&shown);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(sip_->get_Show(nullptr), E_POINTER);
}

TEST_F(SipControl, PasswordFieldSwitchesCompletionOffAndLeavingPutsTheFlagsBack) {
    common::UniqueWindow field(::CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                                 30, nullptr, nullptr, nullptr, nullptr));
    const LONG handle = static_cast<LONG>(reinterpret_cast<LONG_PTR>(field.get()));
    BOOL completion = -1;
    ASSERT_EQ(sip_->get_WordCompletion(&completion), S_OK);
    EXPECT_EQ(completion, 0);

    ASSERT_EQ(sip_->EnterPasswordField(handle), S_OK);
    sip_->get_WordCompletion(&completion);
    EXPECT_EQ(completion, -1);
    EXPECT_EQ(Flags(), SIPF_ON | SIPF_DISABLECOMPLETION) << "down and up again";

    ASSERT_EQ(sip_->LeavePasswordField(handle, SipForceDown), S_OK);
    sip_->get_WordCompletion(&completion);
    EXPECT_EQ(completion, 0);
    EXPECT_EQ(Flags(), 0u);

    // Completion set beforehand is what leaving restores.
    ASSERT_EQ(sip_->put_WordCompletion(-1), S_OK);
    EXPECT_EQ(Flags(), SIPF_DISABLECOMPLETION);
    ASSERT_EQ(sip_->EnterPasswordField(handle), S_OK);
    ASSERT_EQ(sip_->LeavePasswordField(handle, SipUp), S_OK);
    EXPECT_EQ(Flags(), SIPF_ON | SIPF_DISABLECOMPLETION);
    ASSERT_EQ(sip_->put_WordCompletion(0), S_OK);
    EXPECT_EQ(Flags(), SIPF_ON);

    // An object that never entered a field restores the zero word.
    auto other = NewSip();
    ASSERT_EQ(other->LeavePasswordField(handle, SipUnchanged), S_OK);
    EXPECT_EQ(Flags(), 0u);
}

TEST_F(SipControl, PreferenceAndAvailabilityComeFromThePlatform) {
    common::UniqueWindow app(::CreateWindowExW(0, L"STATIC", L"app", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                               100, nullptr, nullptr, nullptr, nullptr));
    const LONG handle = static_cast<LONG>(reinterpret_cast<LONG_PTR>(app.get()));
    ASSERT_EQ(sip_->SetPreference(handle, SipUp), S_OK);
    EXPECT_EQ(Flags() & SIPF_ON, SIPF_ON);
    ASSERT_EQ(sip_->SetPreference(handle, SipDown), S_OK);
    EXPECT_EQ(Flags() & SIPF_ON, 0u);
    EXPECT_EQ(sip_->SetPreference(0, SipUp), E_FAIL);

    BOOL available = 0;
    ASSERT_EQ(sip_->get_SipAvailable(&available), S_OK);
    EXPECT_EQ(available, -1);
    const DWORD off = 0;
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kSipConfigKey, L"Available", REG_DWORD, &off,
                      sizeof(off));
    ASSERT_EQ(sip_->get_SipAvailable(&available), S_OK);
    EXPECT_EQ(available, 0);
}

TEST_F(SipControl, KeyboardVorpHandsOutANewConfigurationObject) {
    common::ComPtr<IKeyboardVorp> first;
    common::ComPtr<IKeyboardVorp> second;
    ASSERT_EQ(sip_->get_KeyboardVorp(first.put()), S_OK);
    ASSERT_EQ(sip_->get_KeyboardVorp(second.put()), S_OK);
    ASSERT_TRUE(first);
    EXPECT_NE(first.get(), second.get());
    ASSERT_EQ(first->put_Style(StyleCalculator), S_OK);
    SipStyle style = StyleInteger;
    second->get_Style(&style);
    EXPECT_EQ(style, StyleCalculator);
    EXPECT_EQ(sip_->get_KeyboardVorp(nullptr), E_POINTER);
}

} // namespace
