#include "dial_fixture.h"

#include <ostream>
#include "testsupport/server_registration.h"

namespace {

constexpr wchar_t kDialKey[] = L"Software\\TerminalSimulator\\RAS\\Dial\\";

class Text {
public:
    explicit Text(const wchar_t* text) : s_(text != nullptr ? ::SysAllocString(text) : nullptr) {}
    ~Text() { ::SysFreeString(s_); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    operator BSTR() const { return s_; }

private:
    BSTR s_;
};

void SetDword(HKEY key, const wchar_t* name, DWORD value) {
    ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

} // namespace

HRESULT RegisterDialvoraServer() {
    return testsupport::RegisterServer(L"Dialvora.dll");
}

std::ostream& operator<<(std::ostream& out, const DialEvent& event) {
    std::string message;
    for (wchar_t c : event.message) {
        message += static_cast<char>(c);
    }
    std::string name(event.name.begin(), event.name.end());
    return out << name << "(" << message << ")";
}

std::vector<DialEvent> Progress(std::initializer_list<const wchar_t*> messages) {
    std::vector<DialEvent> events;
    for (const wchar_t* message : messages) {
        events.push_back({L"Progress", message});
    }
    return events;
}

void DialTest::SetUp() {
    ASSERT_EQ(RegisterDialvoraServer(), S_OK);
    ASSERT_EQ(container_.CreateAndActivate(CLSID_RASDial), S_OK);
    control_ = container_.As<IRASDial>();
    ASSERT_TRUE(control_);
    recorder_ = testsupport::EventRecorder::Create(DIID__IRASDialEvents);
    connection_ = recorder_->Connect(control_.get());
    ASSERT_EQ(connection_.result(), S_OK);
}

void DialTest::TearDown() {
    if (control_) {
        control_->Hangup(nullptr);
    }
    connection_.Disconnect();
    control_.reset();
    container_.Close();
    for (const std::wstring& name : entries_) {
        RasDeleteEntry(nullptr, name.c_str());
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kDialKey + name).c_str());
    }
}

void DialTest::CreateEntry(const std::wstring& name, std::vector<const wchar_t*> states,
                           DWORD stepMs, DWORD error, DWORD refuse) {
    RASENTRY entry = {};
    entry.dwSize = sizeof(entry);
    RasCopyField(entry.szLocalPhoneNumber, L"5550199");
    ASSERT_EQ(RasSetEntryProperties(nullptr, name.c_str(), &entry, sizeof(entry), nullptr, 0), 0u);
    entries_.push_back(name);
    common::UniqueKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kDialKey + name).c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    if (!states.empty()) {
        std::wstring multi;
        for (const wchar_t* state : states) {
            multi += state;
            multi += L'\0';
        }
        multi += L'\0';
        ::RegSetValueExW(key.get(), L"States", 0, REG_MULTI_SZ,
                         reinterpret_cast<const BYTE*>(multi.data()),
                         static_cast<DWORD>(multi.size() * sizeof(wchar_t)));
    }
    SetDword(key.get(), L"StepMs", stepMs);
    SetDword(key.get(), L"Error", error);
    SetDword(key.get(), L"Refuse", refuse);
}

std::vector<DialEvent> DialTest::Events() const {
    static const wchar_t* const names[] = {L"Error", L"Progress", L"Connected"};
    std::vector<DialEvent> events;
    for (const testsupport::RecordedEvent& event : recorder_->Events()) {
        DialEvent seen;
        seen.name = event.dispid >= 0 && event.dispid < 3 ? names[event.dispid] : L"?";
        if (!event.received.empty() && event.received[0]->vt == VT_BSTR) {
            seen.message = event.received[0]->bstrVal;
        }
        events.push_back(seen);
    }
    return events;
}

bool DialTest::PumpUntil(const wchar_t* name, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        for (const DialEvent& event : Events()) {
            if (event.name == name) {
                return true;
            }
        }
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

HRESULT DialTest::Dial(const wchar_t* entry, const wchar_t* user, const wchar_t* password,
                       const wchar_t* domain) {
    return control_->Dial(Text(entry), Text(user), Text(password), Text(domain));
}

HRESULT DialTest::Hangup(const wchar_t* entry) {
    return control_->Hangup(Text(entry));
}

LONG DialTest::State() {
    RD_CONNSTATE state = rasStatusError;
    EXPECT_EQ(control_->get_ConnectState(&state), S_OK);
    return static_cast<LONG>(state);
}

std::wstring DialTest::ErrorText() {
    common::UniqueBstr text;
    EXPECT_EQ(control_->get_Error(text.put()), S_OK);
    return std::wstring(text.view());
}

std::vector<std::wstring> DialTest::ConnectionNames() {
    RASCONN list[10] = {};
    list[0].dwSize = sizeof(RASCONN);
    DWORD bytes = sizeof(list);
    DWORD count = 0;
    std::vector<std::wstring> names;
    if (RasEnumConnections(list, &bytes, &count) == ERROR_SUCCESS) {
        for (DWORD i = 0; i < count; ++i) {
            names.emplace_back(RasFieldText(list[i].szEntryName));
        }
    }
    return names;
}
