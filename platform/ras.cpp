// The terminal's remote access service, simulated. The phonebook lives in the
// terminal's registry, so it outlives any one program; dialling plays the
// entry's configured scenario and posts its notifications to the caller's
// window; connections belong to the process that dialled them.
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ceras.h"
#include "common/handle.h"

namespace {

constexpr wchar_t kRasKey[] = L"Software\\TerminalSimulator\\RAS";
constexpr wchar_t kPhonebookKey[] = L"Software\\TerminalSimulator\\RAS\\Phonebook";
constexpr wchar_t kDialKey[] = L"Software\\TerminalSimulator\\RAS\\Dial";
constexpr wchar_t kEntryValue[] = L"Entry";
constexpr wchar_t kUserValue[] = L"UserName";
constexpr wchar_t kPasswordValue[] = L"Password";
constexpr wchar_t kDomainValue[] = L"Domain";

const wchar_t* const kDefaultDevices[] = {L"direct,Serial Cable on COM1:",
                                          L"modem,Hayes Compatible on COM1:"};
const DWORD kDefaultStates[] = {
    RASCS_OpenPort,     RASCS_PortOpened,    RASCS_DeviceConnected, RASCS_AllDevicesConnected,
    RASCS_Authenticate, RASCS_Authenticated, RASCS_Connected};
constexpr DWORD kDefaultStepMs = 20;

// ---- Registry helpers -------------------------------------------------------

// An entry name the phonebook can hold: one registry key of its own.
bool ValidEntryName(LPCWSTR name) {
    if (name == nullptr || name[0] == L'\0') {
        return false;
    }
    const size_t length = ::wcsnlen(name, RAS_MaxEntryName + 1);
    return length <= RAS_MaxEntryName && std::wcschr(name, L'\\') == nullptr;
}

std::wstring EntryKeyPath(LPCWSTR name) {
    return std::wstring(kPhonebookKey) + L"\\" + name;
}

common::UniqueKey OpenEntry(LPCWSTR name, REGSAM access = KEY_READ) {
    common::UniqueKey key;
    if (ValidEntryName(name)) {
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, EntryKeyPath(name).c_str(), 0, access, key.put());
    }
    return key;
}

bool ReadString(HKEY key, const wchar_t* name, std::wstring& text) {
    DWORD bytes = 0;
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
        ERROR_SUCCESS) {
        return false;
    }
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, buffer.data(), &bytes) !=
        ERROR_SUCCESS) {
        return false;
    }
    text.assign(buffer.data());
    return true;
}

void WriteString(HKEY key, const wchar_t* name, std::wstring_view text) {
    const std::wstring value(text);
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::vector<std::wstring> ReadMultiString(HKEY root, const wchar_t* path, const wchar_t* name,
                                          bool& present) {
    std::vector<std::wstring> strings;
    DWORD bytes = 0;
    present = ::RegGetValueW(root, path, name, RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &bytes) ==
              ERROR_SUCCESS;
    if (!present) {
        return strings;
    }
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    if (::RegGetValueW(root, path, name, RRF_RT_REG_MULTI_SZ, nullptr, buffer.data(), &bytes) !=
        ERROR_SUCCESS) {
        present = false;
        return strings;
    }
    for (const wchar_t* item = buffer.data(); *item != L'\0'; item += std::wcslen(item) + 1) {
        strings.emplace_back(item);
    }
    return strings;
}

DWORD ReadDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD fallback) {
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    if (::RegGetValueW(root, path, name, RRF_RT_REG_DWORD, nullptr, &value, &bytes) !=
        ERROR_SUCCESS) {
        return fallback;
    }
    return value;
}

// The stored record of an entry; zeros where the stored value is short.
bool ReadEntryRecord(LPCWSTR name, RASENTRY& record) {
    common::UniqueKey key = OpenEntry(name);
    if (!key) {
        return false;
    }
    std::memset(&record, 0, sizeof(record));
    DWORD bytes = sizeof(record);
    ::RegQueryValueExW(key.get(), kEntryValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&record),
                       &bytes);
    record.dwSize = sizeof(RASENTRY);
    return true;
}

// Every text field terminated inside itself, so no reader runs past one.
void TerminateFields(RASENTRY& record) {
    record.szAreaCode[RAS_MaxAreaCode] = L'\0';
    record.szLocalPhoneNumber[RAS_MaxPhoneNumber] = L'\0';
    record.szScript[RAS_MaxPath - 1] = L'\0';
    record.szAutodialDll[RAS_MaxPath - 1] = L'\0';
    record.szAutodialFunc[RAS_MaxPath - 1] = L'\0';
    record.szDeviceType[RAS_MaxDeviceType] = L'\0';
    record.szDeviceName[RAS_MaxDeviceName] = L'\0';
    record.szX25PadType[RAS_MaxPadType] = L'\0';
    record.szX25Address[RAS_MaxX25Address] = L'\0';
    record.szX25Facilities[RAS_MaxFacilities] = L'\0';
    record.szX25UserData[RAS_MaxUserData] = L'\0';
}

struct Device {
    std::wstring type;
    std::wstring name;
};

// "type,name" strings of the configuration; a string without a comma is a
// name with no type.
std::vector<Device> ConfiguredDevices() {
    bool present = false;
    std::vector<std::wstring> strings =
        ReadMultiString(HKEY_LOCAL_MACHINE, kRasKey, L"Devices", present);
    if (!present) {
        strings.assign(std::begin(kDefaultDevices), std::end(kDefaultDevices));
    }
    std::vector<Device> devices;
    for (const std::wstring& text : strings) {
        const size_t comma = text.find(L',');
        if (comma == std::wstring::npos) {
            devices.push_back({L"", text});
        } else {
            devices.push_back({text.substr(0, comma), text.substr(comma + 1)});
        }
    }
    return devices;
}

struct Scenario {
    std::vector<DWORD> states;
    DWORD stepMs = kDefaultStepMs;
    DWORD error = 0;
    DWORD refuse = 0;
};

Scenario DialScenario(LPCWSTR entryName) {
    Scenario scenario;
    const std::wstring path = std::wstring(kDialKey) + L"\\" + entryName;
    bool present = false;
    for (const std::wstring& text :
         ReadMultiString(HKEY_LOCAL_MACHINE, path.c_str(), L"States", present)) {
        wchar_t* end = nullptr;
        const unsigned long state = std::wcstoul(text.c_str(), &end, 10);
        if (end != text.c_str()) {
            scenario.states.push_back(static_cast<DWORD>(state));
        }
    }
    if (!present) {
        scenario.states.assign(std::begin(kDefaultStates), std::end(kDefaultStates));
    }
    scenario.stepMs = ReadDword(HKEY_LOCAL_MACHINE, path.c_str(), L"StepMs", kDefaultStepMs);
    scenario.error = ReadDword(HKEY_LOCAL_MACHINE, path.c_str(), L"Error", 0);
    scenario.refuse = ReadDword(HKEY_LOCAL_MACHINE, path.c_str(), L"Refuse", 0);
    return scenario;
}

// ---- Connections ------------------------------------------------------------

struct Connection {
    HRASCONN handle = 0;
    std::wstring entryName;
    std::wstring deviceType;
    std::wstring deviceName;
    HWND window = nullptr;
    Scenario scenario;
    DWORD state = RASCS_OpenPort; // guarded by connectionsLock
    DWORD error = 0;              // guarded by connectionsLock
    common::UniqueKernel cancel;
    common::UniqueKernel thread;
};

std::mutex connectionsLock;
std::map<HRASCONN, std::shared_ptr<Connection>> connections;
HRASCONN nextHandle = 0x00010000;

void Report(Connection& connection, DWORD state, DWORD error) {
    std::lock_guard<std::mutex> hold(connectionsLock);
    connection.state = state;
    connection.error = error;
}

// Plays the scenario: a pause, then one notification per state; the last
// state carries the scenario's error, if it has one.
DWORD WINAPI PlayScenario(LPVOID parameter) {
    std::unique_ptr<std::shared_ptr<Connection>> owned(
        static_cast<std::shared_ptr<Connection>*>(parameter));
    Connection& connection = **owned;
    const std::vector<DWORD>& states = connection.scenario.states;
    for (size_t i = 0; i < states.size(); ++i) {
        if (::WaitForSingleObject(connection.cancel.get(), connection.scenario.stepMs) !=
            WAIT_TIMEOUT) {
            return 0;
        }
        const DWORD error = i + 1 == states.size() ? connection.scenario.error : 0;
        Report(connection, states[i], error);
        ::PostMessageW(connection.window, WM_RASDIALEVENT, states[i], error);
    }
    return 0;
}

// Without a notifier the dial runs to its end before RasDial returns.
DWORD PlayScenarioNow(Connection& connection) {
    const std::vector<DWORD>& states = connection.scenario.states;
    for (size_t i = 0; i < states.size(); ++i) {
        ::Sleep(connection.scenario.stepMs);
        const DWORD error = i + 1 == states.size() ? connection.scenario.error : 0;
        Report(connection, states[i], error);
    }
    return connection.scenario.states.empty() ? 0 : connection.scenario.error;
}

std::shared_ptr<Connection> FindConnection(HRASCONN handle) {
    std::lock_guard<std::mutex> hold(connectionsLock);
    auto found = connections.find(handle);
    return found != connections.end() ? found->second : nullptr;
}

bool EntryConnected(std::wstring_view name) {
    std::lock_guard<std::mutex> hold(connectionsLock);
    for (const auto& [handle, connection] : connections) {
        if (::CompareStringOrdinal(connection->entryName.c_str(),
                                   static_cast<int>(connection->entryName.size()), name.data(),
                                   static_cast<int>(name.size()), TRUE) == CSTR_EQUAL) {
            return true;
        }
    }
    return false;
}

} // namespace

// ---- Phonebook --------------------------------------------------------------

CEPLATFORM_API DWORD WINAPI RasEnumEntries(LPCWSTR, LPCWSTR, LPRASENTRYNAME entries, LPDWORD bytes,
                                           LPDWORD count) {
    if (bytes == nullptr || count == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (entries != nullptr && *bytes >= sizeof(DWORD) && entries->dwSize != sizeof(RASENTRYNAME)) {
        return ERROR_INVALID_SIZE;
    }
    std::vector<std::wstring> names;
    common::UniqueKey phonebook;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPhonebookKey, 0, KEY_READ, phonebook.put()) ==
        ERROR_SUCCESS) {
        wchar_t name[256];
        for (DWORD index = 0;; ++index) {
            DWORD length = 256;
            if (::RegEnumKeyExW(phonebook.get(), index, name, &length, nullptr, nullptr, nullptr,
                                nullptr) != ERROR_SUCCESS) {
                break;
            }
            if (ValidEntryName(name)) {
                names.emplace_back(name);
            }
        }
    }
    const DWORD needed = static_cast<DWORD>(names.size() * sizeof(RASENTRYNAME));
    *count = static_cast<DWORD>(names.size());
    if (entries == nullptr || *bytes < needed) {
        *bytes = needed;
        return needed == 0 ? ERROR_SUCCESS : ERROR_BUFFER_TOO_SMALL;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        entries[i].dwSize = sizeof(RASENTRYNAME);
        RasCopyField(entries[i].szEntryName, names[i]);
    }
    *bytes = needed;
    return ERROR_SUCCESS;
}

CEPLATFORM_API DWORD WINAPI RasGetEntryProperties(LPCWSTR, LPCWSTR entryName, LPRASENTRY entry,
                                                  LPDWORD entryBytes, LPBYTE,
                                                  LPDWORD deviceInfoBytes) {
    if (entryBytes == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (entry != nullptr && *entryBytes >= sizeof(DWORD) && entry->dwSize != sizeof(RASENTRY)) {
        return ERROR_INVALID_SIZE;
    }
    // No name asks for the values a new entry starts from.
    const bool defaults = entryName == nullptr || entryName[0] == L'\0';
    RASENTRY record = {};
    if (defaults) {
        record.dwSize = sizeof(RASENTRY);
        record.dwfNetProtocols = RASNP_Ip;
        record.dwFramingProtocol = RASFP_Ppp;
        record.dwChannels = 1;
    } else if (!ReadEntryRecord(entryName, record)) {
        return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    }
    if (deviceInfoBytes != nullptr) {
        *deviceInfoBytes = 0; // no device-specific configuration is kept
    }
    if (entry == nullptr || *entryBytes < sizeof(RASENTRY)) {
        *entryBytes = sizeof(RASENTRY);
        return ERROR_BUFFER_TOO_SMALL;
    }
    std::memcpy(entry, &record, sizeof(record));
    *entryBytes = sizeof(RASENTRY);
    return ERROR_SUCCESS;
}

CEPLATFORM_API DWORD WINAPI RasSetEntryProperties(LPCWSTR, LPCWSTR entryName, LPRASENTRY entry,
                                                  DWORD entryBytes, LPBYTE, DWORD) {
    if (entry == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (entryBytes < sizeof(DWORD) || entry->dwSize != sizeof(RASENTRY)) {
        return ERROR_INVALID_SIZE;
    }
    if (entryBytes < sizeof(RASENTRY)) {
        return ERROR_BUFFER_TOO_SMALL;
    }
    if (!ValidEntryName(entryName)) {
        return ERROR_INVALID_NAME;
    }
    RASENTRY record;
    std::memcpy(&record, entry, sizeof(record));
    TerminateFields(record);
    common::UniqueKey key;
    LSTATUS status =
        ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, EntryKeyPath(entryName).c_str(), 0, nullptr, 0,
                          KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) {
        return static_cast<DWORD>(status);
    }
    return static_cast<DWORD>(::RegSetValueExW(key.get(), kEntryValue, 0, REG_BINARY,
                                               reinterpret_cast<const BYTE*>(&record),
                                               sizeof(record)));
}

CEPLATFORM_API DWORD WINAPI RasGetEntryDialParams(LPCWSTR, LPRASDIALPARAMS params,
                                                  LPBOOL passwordStored) {
    if (params == nullptr || passwordStored == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (params->dwSize != sizeof(RASDIALPARAMS)) {
        return ERROR_INVALID_SIZE;
    }
    params->szEntryName[RAS_MaxEntryName] = L'\0';
    common::UniqueKey key = OpenEntry(params->szEntryName);
    if (!key) {
        return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    }
    std::wstring user;
    std::wstring password;
    std::wstring domain;
    ReadString(key.get(), kUserValue, user);
    ReadString(key.get(), kDomainValue, domain);
    *passwordStored = ReadString(key.get(), kPasswordValue, password) ? TRUE : FALSE;
    // The entry's own number is dialled when the parameters name none.
    RasCopyField(params->szPhoneNumber, L"");
    RasCopyField(params->szCallbackNumber, L"");
    RasCopyField(params->szUserName, user);
    RasCopyField(params->szPassword, password);
    RasCopyField(params->szDomain, domain);
    return ERROR_SUCCESS;
}

CEPLATFORM_API DWORD WINAPI RasSetEntryDialParams(LPCWSTR, LPRASDIALPARAMS params,
                                                  BOOL removePassword) {
    if (params == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (params->dwSize != sizeof(RASDIALPARAMS)) {
        return ERROR_INVALID_SIZE;
    }
    params->szEntryName[RAS_MaxEntryName] = L'\0';
    common::UniqueKey key = OpenEntry(params->szEntryName, KEY_READ | KEY_WRITE);
    if (!key) {
        return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    }
    WriteString(key.get(), kUserValue, RasFieldText(params->szUserName));
    WriteString(key.get(), kDomainValue, RasFieldText(params->szDomain));
    if (removePassword) {
        ::RegDeleteValueW(key.get(), kPasswordValue);
    } else {
        WriteString(key.get(), kPasswordValue, RasFieldText(params->szPassword));
    }
    return ERROR_SUCCESS;
}

CEPLATFORM_API DWORD WINAPI RasDeleteEntry(LPCWSTR, LPCWSTR entryName) {
    if (!OpenEntry(entryName)) {
        return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    }
    return static_cast<DWORD>(::RegDeleteKeyW(HKEY_LOCAL_MACHINE, EntryKeyPath(entryName).c_str()));
}

CEPLATFORM_API DWORD WINAPI RasEnumDevices(LPRASDEVINFO devices, LPDWORD bytes, LPDWORD count) {
    if (bytes == nullptr || count == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (devices != nullptr && *bytes >= sizeof(DWORD) && devices->dwSize != sizeof(RASDEVINFO)) {
        return ERROR_INVALID_SIZE;
    }
    const std::vector<Device> configured = ConfiguredDevices();
    const DWORD needed = static_cast<DWORD>(configured.size() * sizeof(RASDEVINFO));
    *count = static_cast<DWORD>(configured.size());
    if (devices == nullptr || *bytes < needed) {
        *bytes = needed;
        return needed == 0 ? ERROR_SUCCESS : ERROR_BUFFER_TOO_SMALL;
    }
    for (size_t i = 0; i < configured.size(); ++i) {
        devices[i].dwSize = sizeof(RASDEVINFO);
        RasCopyField(devices[i].szDeviceType, configured[i].type);
        RasCopyField(devices[i].szDeviceName, configured[i].name);
    }
    *bytes = needed;
    return ERROR_SUCCESS;
}

// ---- Dialling and connections -----------------------------------------------

CEPLATFORM_API DWORD WINAPI RasDial(LPRASDIALEXTENSIONS, LPCWSTR, LPRASDIALPARAMS params,
                                    DWORD notifierType, LPVOID notifier, LPHRASCONN connection) {
    if (params == nullptr || connection == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *connection = 0;
    if (params->dwSize != sizeof(RASDIALPARAMS)) {
        return ERROR_INVALID_SIZE;
    }
    if (notifier != nullptr &&
        (notifierType != RAS_NOTIFIER_WINDOW || !::IsWindow(static_cast<HWND>(notifier)))) {
        return ERROR_INVALID_PARAMETER;
    }
    params->szEntryName[RAS_MaxEntryName] = L'\0';
    RASENTRY record = {};
    if (!ReadEntryRecord(params->szEntryName, record)) {
        return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    }
    auto dialled = std::make_shared<Connection>();
    dialled->entryName = RasFieldText(params->szEntryName);
    dialled->deviceType = RasFieldText(record.szDeviceType);
    dialled->deviceName = RasFieldText(record.szDeviceName);
    dialled->window = static_cast<HWND>(notifier);
    dialled->scenario = DialScenario(params->szEntryName);
    if (dialled->scenario.refuse != 0) {
        return dialled->scenario.refuse;
    }
    // One line per entry: the entry is busy while a connection of it lives.
    if (EntryConnected(dialled->entryName)) {
        return ERROR_PORT_ALREADY_OPEN;
    }
    {
        std::lock_guard<std::mutex> hold(connectionsLock);
        dialled->handle = nextHandle++;
        connections[dialled->handle] = dialled;
    }
    *connection = dialled->handle;
    if (notifier == nullptr) {
        return PlayScenarioNow(*dialled);
    }
    dialled->cancel.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto parameter = std::make_unique<std::shared_ptr<Connection>>(dialled);
    dialled->thread.reset(
        dialled->cancel ? ::CreateThread(nullptr, 0, &PlayScenario, parameter.get(), 0, nullptr)
                        : nullptr);
    if (!dialled->thread) {
        std::lock_guard<std::mutex> hold(connectionsLock);
        connections.erase(dialled->handle);
        *connection = 0;
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    parameter.release(); // the thread owns it now
    return ERROR_SUCCESS;
}

CEPLATFORM_API DWORD WINAPI RasEnumConnections(LPRASCONN list, LPDWORD bytes, LPDWORD count) {
    if (bytes == nullptr || count == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (list != nullptr && *bytes >= sizeof(DWORD) && list->dwSize != sizeof(RASCONN)) {
        return ERROR_INVALID_SIZE;
    }
    std::lock_guard<std::mutex> hold(connectionsLock);
    const DWORD needed = static_cast<DWORD>(connections.size() * sizeof(RASCONN));
    *count = static_cast<DWORD>(connections.size());
    if (list == nullptr || *bytes < needed) {
        *bytes = needed;
        return needed == 0 ? ERROR_SUCCESS : ERROR_BUFFER_TOO_SMALL;
    }
    size_t i = 0;
    for (const auto& [handle, connection] : connections) {
        list[i].dwSize = sizeof(RASCONN);
        list[i].hrasconn = handle;
        RasCopyField(list[i].szEntryName, connection->entryName);
        ++i;
    }
    *bytes = needed;
    return ERROR_SUCCESS;
}

CEPLATFORM_API DWORD WINAPI RasGetConnectStatus(HRASCONN handle, LPRASCONNSTATUS status) {
    if (status == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::shared_ptr<Connection> connection = FindConnection(handle);
    if (!connection) {
        return ERROR_INVALID_HANDLE;
    }
    if (status->dwSize != sizeof(RASCONNSTATUS)) {
        return ERROR_INVALID_SIZE;
    }
    {
        std::lock_guard<std::mutex> hold(connectionsLock);
        status->rasconnstate = static_cast<RASCONNSTATE>(connection->state);
        status->dwError = connection->error;
    }
    RasCopyField(status->szDeviceType, connection->deviceType);
    RasCopyField(status->szDeviceName, connection->deviceName);
    return ERROR_SUCCESS;
}

CEPLATFORM_API DWORD WINAPI RasHangUp(HRASCONN handle) {
    std::shared_ptr<Connection> connection;
    {
        std::lock_guard<std::mutex> hold(connectionsLock);
        auto found = connections.find(handle);
        if (found == connections.end()) {
            return ERROR_INVALID_HANDLE;
        }
        connection = found->second;
        connections.erase(found);
    }
    if (connection->thread) {
        ::SetEvent(connection->cancel.get());
        ::WaitForSingleObject(connection->thread.get(), INFINITE);
    }
    // Once hung up, the caller hears nothing more of the connection: what was
    // posted to its window and not yet taken goes too.
    if (connection->window != nullptr &&
        ::GetWindowThreadProcessId(connection->window, nullptr) == ::GetCurrentThreadId()) {
        MSG message;
        while (::PeekMessageW(&message, connection->window, WM_RASDIALEVENT, WM_RASDIALEVENT,
                              PM_REMOVE)) {
        }
    }
    return ERROR_SUCCESS;
}
