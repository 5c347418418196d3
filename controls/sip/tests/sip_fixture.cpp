#include "sip_fixture.h"

#include "sip.h"
#include "testsupport/server_registration.h"

namespace {

constexpr wchar_t kConfigKey[] = L"Software\\Vorpel\\SipVorpel";

} // namespace

HRESULT RegisterSipServer() {
    return testsupport::RegisterServer(L"SipVorpel.dll");
}

HRESULT UnregisterSipServer() {
    return testsupport::UnregisterServer(L"SipVorpel.dll");
}

DWORD ConfigDword(const wchar_t* name, DWORD missing) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kConfigKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                       &size) != ERROR_SUCCESS) {
        return missing;
    }
    return value;
}

std::wstring ConfigString(const wchar_t* name) {
    wchar_t text[256] = {};
    DWORD size = sizeof(text);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kConfigKey, name, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return L"<missing>";
    }
    return text;
}

void SetConfigDword(const wchar_t* name, DWORD value) {
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kConfigKey, name, REG_DWORD, &value, sizeof(value));
}

void SetConfigString(const wchar_t* name, const std::wstring& value) {
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kConfigKey, name, REG_SZ, value.c_str(),
                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

POINT CellCentre(int row, int col, int cellWidth) {
    return {cellWidth * col + cellWidth / 2, 1 + 26 * row + 13};
}

void KeyboardTest::SetUp() {
    ASSERT_EQ(RegisterSipServer(), S_OK);
    TerminalResetSip();
    common::UniqueKey key;
    hadConfig_ =
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kConfigKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    for (DWORD index = 0; hadConfig_; ++index) {
        wchar_t name[256] = {};
        DWORD nameLength = 256;
        DWORD type = 0;
        BYTE data[1024] = {};
        DWORD size = sizeof(data);
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, data, &size) !=
            ERROR_SUCCESS) {
            break;
        }
        saved_.push_back({name, type, std::vector<BYTE>(data, data + size)});
    }
    key.reset();
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kConfigKey);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kConfigKey);
}

void KeyboardTest::TearDown() {
    TerminalResetSip();
    form_.reset();
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kConfigKey);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kConfigKey);
    if (hadConfig_) {
        common::UniqueKey key;
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kConfigKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          key.put(), nullptr);
        for (const SavedValue& value : saved_) {
            ::RegSetValueExW(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                             static_cast<DWORD>(value.data.size()));
        }
    }
    // The class key's strings as registration leaves them.
    RegisterSipServer();
}

common::ComPtr<IKeyboardVorp> KeyboardTest::NewKeyboard() {
    common::ComPtr<IKeyboardVorp> keyboard;
    EXPECT_EQ(::CoCreateInstance(CLSID_KeyboardVorp, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IKeyboardVorp, keyboard.put_void()),
              S_OK);
    return keyboard;
}

void KeyboardTest::SelectKeyboard() {
    CLSID keyboard = CLSID_KeyboardVorp;
    ASSERT_TRUE(SipSetCurrentIM(&keyboard));
    ASSERT_NE(Panel(), nullptr);
}

void KeyboardTest::ShowSip(bool on) {
    SIPINFO info = {};
    info.cbSize = SIPINFO_SIZE;
    ASSERT_TRUE(SipGetInfo(&info));
    info.fdwFlags = on ? (info.fdwFlags | SIPF_ON) : (info.fdwFlags & ~SIPF_ON);
    ASSERT_TRUE(SipSetInfo(&info));
}

HWND KeyboardTest::SipWindow() const {
    return TerminalSipWindow();
}

HWND KeyboardTest::Panel() const {
    HWND sip = SipWindow();
    return sip != nullptr ? ::GetWindow(sip, GW_CHILD) : nullptr;
}

void KeyboardTest::Tap(POINT down, POINT up) {
    HWND panel = Panel();
    ::SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
    if (down.x != up.x || down.y != up.y) {
        ::SendMessageW(panel, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(up.x, up.y));
    }
    ::SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    Pump();
}

HWND KeyboardTest::FocusedEdit() {
    form_.reset(::CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW, 0, 0, 240, 100,
                                  nullptr, nullptr, nullptr, nullptr));
    edit_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 4, 4, 200,
                              22, form_.get(), nullptr, nullptr, nullptr);
    ::ShowWindow(form_.get(), SW_SHOW);
    ::SetFocus(edit_);
    EXPECT_EQ(::GetFocus(), edit_);
    return edit_;
}

std::wstring KeyboardTest::EditText() {
    wchar_t text[128] = {};
    ::GetWindowTextW(edit_, text, 128);
    return text;
}
