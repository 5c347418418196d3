// The remote access service: the phonebook in the terminal's registry, the
// dial-up devices, and dialling by the configured scenarios.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "ceras.h"
#include "common/handle.h"
#include "testsupport/child.h"

namespace {

constexpr wchar_t kRasKey[] = L"Software\\TerminalSimulator\\RAS";
constexpr wchar_t kDialKey[] = L"Software\\TerminalSimulator\\RAS\\Dial\\";

RASENTRY EmptyEntry() {
    RASENTRY entry = {};
    entry.dwSize = sizeof(entry);
    return entry;
}

// An entry of the test's own, removed again at the end.
class ScopedEntry {
public:
    explicit ScopedEntry(const wchar_t* name, const wchar_t* phone = L"5551234") : name_(name) {
        RASENTRY entry = EmptyEntry();
        RasCopyField(entry.szLocalPhoneNumber, phone);
        RasCopyField(entry.szDeviceType, L"modem");
        RasCopyField(entry.szDeviceName, L"Hayes Compatible on COM1:");
        result_ = RasSetEntryProperties(nullptr, name, &entry, sizeof(entry), nullptr, 0);
    }
    ~ScopedEntry() { RasDeleteEntry(nullptr, name_.c_str()); }
    DWORD result() const { return result_; }

private:
    std::wstring name_;
    DWORD result_;
};

// The dial scenario of one entry for one test.
class ScopedScenario {
public:
    ScopedScenario(const wchar_t* entry, const std::vector<const wchar_t*>& states, DWORD stepMs,
                   DWORD error = 0, DWORD refuse = 0)
        : path_(std::wstring(kDialKey) + entry) {
        common::UniqueKey key;
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          key.put(), nullptr);
        std::wstring multi;
        for (const wchar_t* state : states) {
            multi += state;
            multi += L'\0';
        }
        multi += L'\0';
        ::RegSetValueExW(key.get(), L"States", 0, REG_MULTI_SZ,
                         reinterpret_cast<const BYTE*>(multi.data()),
                         static_cast<DWORD>(multi.size() * sizeof(wchar_t)));
        ::RegSetValueExW(key.get(), L"StepMs", 0, REG_DWORD, reinterpret_cast<BYTE*>(&stepMs),
                         sizeof(DWORD));
        ::RegSetValueExW(key.get(), L"Error", 0, REG_DWORD, reinterpret_cast<BYTE*>(&error),
                         sizeof(DWORD));
        ::RegSetValueExW(key.get(), L"Refuse", 0, REG_DWORD, reinterpret_cast<BYTE*>(&refuse),
                         sizeof(DWORD));
    }
    ~ScopedScenario() { ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, path_.c_str()); }

private:
    std::wstring path_;
};

// The terminal's device list for one test; the earlier one goes back after.
class ScopedDevices {
public:
    explicit ScopedDevices(const std::wstring* multi) {
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRasKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          key_.put(), nullptr);
        DWORD bytes = 0;
        if (::RegQueryValueExW(key_.get(), L"Devices", nullptr, nullptr, nullptr, &bytes) ==
            ERROR_SUCCESS) {
            old_.resize(bytes);
            ::RegQueryValueExW(key_.get(), L"Devices", nullptr, nullptr, old_.data(), &bytes);
            hadOld_ = true;
        }
        if (multi != nullptr) {
            ::RegSetValueExW(key_.get(), L"Devices", 0, REG_MULTI_SZ,
                             reinterpret_cast<const BYTE*>(multi->data()),
                             static_cast<DWORD>(multi->size() * sizeof(wchar_t)));
        } else {
            ::RegDeleteValueW(key_.get(), L"Devices");
        }
    }
    ~ScopedDevices() {
        if (hadOld_) {
            ::RegSetValueExW(key_.get(), L"Devices", 0, REG_MULTI_SZ, old_.data(),
                             static_cast<DWORD>(old_.size()));
        } else {
            ::RegDeleteValueW(key_.get(), L"Devices");
        }
    }

private:
    common::UniqueKey key_;
    std::vector<BYTE> old_;
    bool hadOld_ = false;
};

std::vector<std::wstring> EntryNames() {
    DWORD bytes = 0;
    DWORD count = 0;
    RasEnumEntries(nullptr, nullptr, nullptr, &bytes, &count);
    std::vector<RASENTRYNAME> names(count + 1);
    names[0].dwSize = sizeof(RASENTRYNAME);
    bytes = static_cast<DWORD>(names.size() * sizeof(RASENTRYNAME));
    std::vector<std::wstring> result;
    if (RasEnumEntries(nullptr, nullptr, names.data(), &bytes, &count) == ERROR_SUCCESS) {
        for (DWORD i = 0; i < count; ++i) {
            result.emplace_back(RasFieldText(names[i].szEntryName));
        }
    }
    return result;
}

bool Contains(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

int ReadEntryInChild(const std::vector<std::wstring>& args) {
    RASENTRY entry = EmptyEntry();
    DWORD bytes = sizeof(entry);
    if (args.empty() ||
        RasGetEntryProperties(nullptr, args[0].c_str(), &entry, &bytes, nullptr, nullptr) != 0) {
        return -1;
    }
    return static_cast<int>(entry.dwCountryCode);
}
testsupport::ChildRegistration readEntry(L"read-ras-entry", ReadEntryInChild);

// A window of the test's thread that receives the dial notifications.
class Notifier {
public:
    Notifier()
        : window_(::CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    nullptr, nullptr)) {}
    HWND get() const { return window_.get(); }

    // Takes notifications until one of state `last` (or one with an error).
    std::vector<std::pair<DWORD, DWORD>> Until(DWORD last, DWORD timeoutMs = 5000) {
        std::vector<std::pair<DWORD, DWORD>> seen;
        const DWORD start = ::GetTickCount();
        for (;;) {
            MSG message;
            while (::PeekMessageW(&message, window_.get(), WM_RASDIALEVENT, WM_RASDIALEVENT,
                                  PM_REMOVE)) {
                seen.emplace_back(static_cast<DWORD>(message.wParam),
                                  static_cast<DWORD>(message.lParam));
                if (message.wParam == last || message.lParam != 0) {
                    return seen;
                }
            }
            const DWORD elapsed = ::GetTickCount() - start;
            if (elapsed >= timeoutMs) {
                return seen;
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - elapsed, QS_POSTMESSAGE);
        }
    }
    bool Pending() {
        MSG message;
        return ::PeekMessageW(&message, window_.get(), WM_RASDIALEVENT, WM_RASDIALEVENT,
                              PM_NOREMOVE) != FALSE;
    }

private:
    common::UniqueWindow window_;
};

RASDIALPARAMS DialParams(const wchar_t* entry) {
    RASDIALPARAMS params = {};
    params.dwSize = sizeof(params);
    RasCopyField(params.szEntryName, entry);
    return params;
}

RASCONNSTATUS Status(HRASCONN connection, DWORD* result = nullptr) {
    RASCONNSTATUS status = {};
    status.dwSize = sizeof(status);
    const DWORD code = RasGetConnectStatus(connection, &status);
    if (result != nullptr) {
        *result = code;
    }
    return status;
}

std::vector<std::pair<HRASCONN, std::wstring>> Connections() {
    RASCONN list[10] = {};
    list[0].dwSize = sizeof(RASCONN);
    DWORD bytes = sizeof(list);
    DWORD count = 0;
    std::vector<std::pair<HRASCONN, std::wstring>> result;
    if (RasEnumConnections(list, &bytes, &count) == ERROR_SUCCESS) {
        for (DWORD i = 0; i < count; ++i) {
            result.emplace_back(list[i].hrasconn, std::wstring(RasFieldText(list[i].szEntryName)));
        }
    }
    return result;
}

} // namespace

TEST(Phonebook, EntryIsStoredWithItsSizesCheckedAndOutlivesTheProcess) {
    ScopedEntry created(L"PbStoreTest");
    ASSERT_EQ(created.result(), 0u);

    DWORD bytes = 0;
    EXPECT_EQ(RasGetEntryProperties(nullptr, L"PbStoreTest", nullptr, &bytes, nullptr, nullptr),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_EQ(bytes, 3276u);

    RASENTRY entry = EmptyEntry();
    entry.dwSize = 3000;
    bytes = sizeof(entry);
    EXPECT_EQ(RasGetEntryProperties(nullptr, L"PbStoreTest", &entry, &bytes, nullptr, nullptr),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
    entry.dwSize = sizeof(entry);
    EXPECT_EQ(RasSetEntryProperties(nullptr, L"PbStoreTest", &entry, 3000, nullptr, 0),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));

    ASSERT_EQ(RasGetEntryProperties(nullptr, L"PbStoreTest", &entry, &bytes, nullptr, nullptr), 0u);
    EXPECT_EQ(RasFieldText(entry.szLocalPhoneNumber), L"5551234");
    EXPECT_EQ(RasFieldText(entry.szDeviceName), L"Hayes Compatible on COM1:");

    entry.dwCountryCode = 49;
    entry.dwfOptions = RASEO_ModemLights | RASEO_SwCompression;
    ASSERT_EQ(RasSetEntryProperties(nullptr, L"PbStoreTest", &entry, sizeof(entry), nullptr, 0),
              0u);
    EXPECT_EQ(testsupport::RunChild(L"read-ras-entry", L"PbStoreTest"), 49u);

    // Names are looked up as the registry does, without regard to case.
    RASENTRY again = EmptyEntry();
    bytes = sizeof(again);
    ASSERT_EQ(RasGetEntryProperties(nullptr, L"pbstoretest", &again, &bytes, nullptr, nullptr), 0u);
    EXPECT_EQ(again.dwfOptions, RASEO_ModemLights | RASEO_SwCompression);

    EXPECT_EQ(RasGetEntryProperties(nullptr, L"PbNoSuchEntry", &again, &bytes, nullptr, nullptr),
              static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
}

TEST(Phonebook, TextFieldsAreStoredTerminatedWithinThemselves) {
    RASENTRY entry = EmptyEntry();
    for (WCHAR& c : entry.szLocalPhoneNumber) {
        c = L'7';
    }
    for (WCHAR& c : entry.szAreaCode) {
        c = L'3';
    }
    ASSERT_EQ(RasSetEntryProperties(nullptr, L"PbFullFields", &entry, sizeof(entry), nullptr, 0),
              0u);
    RASENTRY stored = EmptyEntry();
    DWORD bytes = sizeof(stored);
    ASSERT_EQ(RasGetEntryProperties(nullptr, L"PbFullFields", &stored, &bytes, nullptr, nullptr),
              0u);
    EXPECT_EQ(std::wstring(stored.szLocalPhoneNumber), std::wstring(128, L'7'));
    EXPECT_EQ(std::wstring(stored.szAreaCode), std::wstring(10, L'3'));
    RasDeleteEntry(nullptr, L"PbFullFields");
}

TEST(Phonebook, NamesItCannotHoldAreRefused) {
    RASENTRY entry = EmptyEntry();
    EXPECT_EQ(RasSetEntryProperties(nullptr, L"", &entry, sizeof(entry), nullptr, 0),
              static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(
        RasSetEntryProperties(nullptr, L"ABCDEFGHIJKLMNOPQRSTU", &entry, sizeof(entry), nullptr, 0),
        static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(RasSetEntryProperties(nullptr, L"Pb\\Nested", &entry, sizeof(entry), nullptr, 0),
              static_cast<DWORD>(ERROR_INVALID_NAME));
    ScopedEntry longest(L"ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(longest.result(), 0u);
}

TEST(Phonebook, EnumerationAsksForRoomAndChecksTheRecordSize) {
    ScopedEntry first(L"PbEnumOne");
    ScopedEntry second(L"PbEnumTwo");
    DWORD bytes = 0;
    DWORD count = 0;
    EXPECT_EQ(RasEnumEntries(nullptr, nullptr, nullptr, &bytes, &count),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
    EXPECT_GE(count, 2u);
    EXPECT_EQ(bytes, count * 48);

    RASENTRYNAME one = {};
    one.dwSize = 46;
    bytes = sizeof(one);
    EXPECT_EQ(RasEnumEntries(nullptr, nullptr, &one, &bytes, &count),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
    one.dwSize = sizeof(one);
    EXPECT_EQ(RasEnumEntries(nullptr, nullptr, &one, &bytes, &count),
              static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));

    const std::vector<std::wstring> names = EntryNames();
    EXPECT_TRUE(Contains(names, L"PbEnumOne"));
    EXPECT_TRUE(Contains(names, L"PbEnumTwo"));
    EXPECT_EQ(RasDeleteEntry(nullptr, L"PbEnumOne"), 0u);
    EXPECT_FALSE(Contains(EntryNames(), L"PbEnumOne"));
    EXPECT_EQ(RasDeleteEntry(nullptr, L"PbEnumOne"),
              static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
}

TEST(DialParameters, StoredWithTheEntryAndThePasswordCanBeRemoved) {
    ScopedEntry entry(L"PbParams");
    RASDIALPARAMS params = DialParams(L"PbParams");
    BOOL stored = TRUE;
    ASSERT_EQ(RasGetEntryDialParams(nullptr, &params, &stored), 0u);
    EXPECT_FALSE(stored);
    EXPECT_EQ(RasFieldText(params.szUserName), L"");

    RasCopyField(params.szUserName, L"fieldworker");
    RasCopyField(params.szPassword, L"s3cret");
    RasCopyField(params.szDomain, L"DEPOT");
    ASSERT_EQ(RasSetEntryDialParams(nullptr, &params, FALSE), 0u);
    RASDIALPARAMS read = DialParams(L"PbParams");
    ASSERT_EQ(RasGetEntryDialParams(nullptr, &read, &stored), 0u);
    EXPECT_TRUE(stored);
    EXPECT_EQ(RasFieldText(read.szUserName), L"fieldworker");
    EXPECT_EQ(RasFieldText(read.szPassword), L"s3cret");
    EXPECT_EQ(RasFieldText(read.szDomain), L"DEPOT");

    RasCopyField(params.szPassword, L"ignored");
    ASSERT_EQ(RasSetEntryDialParams(nullptr, &params, TRUE), 0u);
    read = DialParams(L"PbParams");
    ASSERT_EQ(RasGetEntryDialParams(nullptr, &read, &stored), 0u);
    EXPECT_FALSE(stored);
    EXPECT_EQ(RasFieldText(read.szPassword), L"");
    EXPECT_EQ(RasFieldText(read.szUserName), L"fieldworker");

    read.dwSize = 1460;
    EXPECT_EQ(RasGetEntryDialParams(nullptr, &read, &stored),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
    RASDIALPARAMS missing = DialParams(L"PbNoSuchEntry");
    EXPECT_EQ(RasGetEntryDialParams(nullptr, &missing, &stored),
              static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    EXPECT_EQ(RasSetEntryDialParams(nullptr, &missing, FALSE),
              static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
}

TEST(Devices, TwoByDefaultOtherwiseTheConfiguredListCutToTheFields) {
    {
        ScopedDevices none(nullptr);
        DWORD bytes = 0;
        DWORD count = 0;
        EXPECT_EQ(RasEnumDevices(nullptr, &bytes, &count),
                  static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL));
        EXPECT_EQ(bytes, 208u);
        RASDEVINFO devices[2] = {};
        devices[0].dwSize = sizeof(RASDEVINFO);
        ASSERT_EQ(RasEnumDevices(devices, &bytes, &count), 0u);
        ASSERT_EQ(count, 2u);
        EXPECT_EQ(RasFieldText(devices[0].szDeviceType), L"direct");
        EXPECT_EQ(RasFieldText(devices[0].szDeviceName), L"Serial Cable on COM1:");
        EXPECT_EQ(RasFieldText(devices[1].szDeviceType), L"modem");
        EXPECT_EQ(RasFieldText(devices[1].szDeviceName), L"Hayes Compatible on COM1:");
        devices[0].dwSize = 100;
        EXPECT_EQ(RasEnumDevices(devices, &bytes, &count), static_cast<DWORD>(ERROR_INVALID_SIZE));
    }
    std::wstring multi;
    for (const wchar_t* device :
         {L"vpn,PPTP Tunnel", L"modem,A modem whose name runs past the field", L"Bare Name"}) {
        multi += device;
        multi += L'\0';
    }
    multi += L'\0';
    ScopedDevices three(&multi);
    RASDEVINFO devices[3] = {};
    devices[0].dwSize = sizeof(RASDEVINFO);
    DWORD bytes = sizeof(devices);
    DWORD count = 0;
    ASSERT_EQ(RasEnumDevices(devices, &bytes, &count), 0u);
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(RasFieldText(devices[0].szDeviceName), L"PPTP Tunnel");
    EXPECT_EQ(RasFieldText(devices[1].szDeviceName), L"A modem whose name runs past the");
    EXPECT_EQ(RasFieldText(devices[2].szDeviceType), L"");
    EXPECT_EQ(RasFieldText(devices[2].szDeviceName), L"Bare Name");
}

TEST(Dial, DefaultScenarioNotifiesEachStateThenStaysConnectedUntilHungUp) {
    ScopedEntry entry(L"DialDefault");
    Notifier notifier;
    RASDIALPARAMS params = DialParams(L"DialDefault");
    HRASCONN connection = 0;
    ASSERT_EQ(RasDial(nullptr, nullptr, &params, RAS_NOTIFIER_WINDOW, notifier.get(), &connection),
              0u);
    ASSERT_NE(connection, 0u);
    const std::vector<std::pair<DWORD, DWORD>> expected = {{0, 0}, {1, 0},  {3, 0},   {4, 0},
                                                           {5, 0}, {14, 0}, {8192, 0}};
    EXPECT_EQ(notifier.Until(RASCS_Connected), expected);

    const RASCONNSTATUS status = Status(connection);
    EXPECT_EQ(status.rasconnstate, RASCS_Connected);
    EXPECT_EQ(status.dwError, 0u);
    EXPECT_EQ(RasFieldText(status.szDeviceType), L"modem");
    const auto listed = Connections();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].first, connection);
    EXPECT_EQ(listed[0].second, L"DialDefault");

    HRASCONN second = 0;
    EXPECT_EQ(RasDial(nullptr, nullptr, &params, RAS_NOTIFIER_WINDOW, notifier.get(), &second),
              static_cast<DWORD>(ERROR_PORT_ALREADY_OPEN));

    EXPECT_EQ(RasHangUp(connection), 0u);
    EXPECT_TRUE(Connections().empty());
    DWORD result = 0;
    Status(connection, &result);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(RasHangUp(connection), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Dial, ScenarioErrorComesWithItsLastStateAndStatusKeepsIt) {
    ScopedEntry entry(L"DialNoAnswer");
    ScopedScenario scenario(L"DialNoAnswer", {L"0", L"1", L"2"}, 5, 678);
    Notifier notifier;
    RASDIALPARAMS params = DialParams(L"DialNoAnswer");
    HRASCONN connection = 0;
    ASSERT_EQ(RasDial(nullptr, nullptr, &params, RAS_NOTIFIER_WINDOW, notifier.get(), &connection),
              0u);
    const std::vector<std::pair<DWORD, DWORD>> expected = {{0, 0}, {1, 0}, {2, 678}};
    EXPECT_EQ(notifier.Until(RASCS_Connected), expected);
    const RASCONNSTATUS status = Status(connection);
    EXPECT_EQ(status.rasconnstate, RASCS_ConnectDevice);
    EXPECT_EQ(status.dwError, 678u);
    EXPECT_EQ(RasHangUp(connection), 0u);
}

TEST(Dial, RefusedDialReturnsTheCodeAtOnceAndPostsNothing) {
    ScopedEntry entry(L"DialRefused");
    ScopedScenario scenario(L"DialRefused", {L"0", L"8192"}, 0, 0, 650);
    Notifier notifier;
    RASDIALPARAMS params = DialParams(L"DialRefused");
    HRASCONN connection = 0x1234;
    EXPECT_EQ(RasDial(nullptr, nullptr, &params, RAS_NOTIFIER_WINDOW, notifier.get(), &connection),
              650u);
    EXPECT_EQ(connection, 0u);
    EXPECT_TRUE(Connections().empty());
    EXPECT_FALSE(notifier.Pending());

    RASDIALPARAMS unknown = DialParams(L"DialNoSuchEntry");
    EXPECT_EQ(RasDial(nullptr, nullptr, &unknown, RAS_NOTIFIER_WINDOW, notifier.get(), &connection),
              static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    params.dwSize = 1460;
    EXPECT_EQ(RasDial(nullptr, nullptr, &params, RAS_NOTIFIER_WINDOW, notifier.get(), &connection),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
}

TEST(Dial, HangUpTakesBackNotificationsNotYetDelivered) {
    ScopedEntry entry(L"DialHangUp");
    ScopedScenario scenario(L"DialHangUp", {L"0", L"1", L"3", L"8192"}, 1);
    Notifier notifier;
    RASDIALPARAMS params = DialParams(L"DialHangUp");
    HRASCONN connection = 0;
    ASSERT_EQ(RasDial(nullptr, nullptr, &params, RAS_NOTIFIER_WINDOW, notifier.get(), &connection),
              0u);
    // Let the first notification wait in the queue, untaken.
    while (!notifier.Pending()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_POSTMESSAGE);
    }
    EXPECT_EQ(RasHangUp(connection), 0u);
    EXPECT_FALSE(notifier.Pending());
}

TEST(Dial, WithoutANotifierTheDialEndsBeforeItReturns) {
    ScopedEntry entry(L"DialSync");
    ScopedScenario scenario(L"DialSync", {L"0", L"8192"}, 1);
    RASDIALPARAMS params = DialParams(L"DialSync");
    HRASCONN connection = 0;
    ASSERT_EQ(RasDial(nullptr, nullptr, &params, 0, nullptr, &connection), 0u);
    EXPECT_EQ(Status(connection).rasconnstate, RASCS_Connected);
    EXPECT_EQ(RasHangUp(connection), 0u);
}
