#include "ras_entries.h"

#include <cstring>
#include <cwchar>
#include <utility>

#include "frame/extent.h"
#include "phonebook.h"

using entrovia::DialParameters;
using entrovia::EntryRecord;

namespace {

constexpr DISPID kDispidShowDefault = 5;
constexpr DWORD kAccessWaitMs = 5000;
constexpr wchar_t kHiddenMark = 0x60; // the backquote that hides an entry

const frame::Property kProperties[] = {
    {L"ShowDefault", kDispidShowDefault, true},
};

HRESULT ReturnText(std::wstring_view text, BSTR* value) {
    *value = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *value != nullptr ? S_OK : E_OUTOFMEMORY;
}

std::wstring_view TextOf(BSTR value) {
    return {value != nullptr ? value : L"", ::SysStringLen(value)};
}

// The default locale's country code, as the phonebook stores it.
LONG LocaleCountryCode() {
    wchar_t country[7] = {};
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, country, 7);
    return static_cast<LONG>(std::wcstol(country, nullptr, 10));
}

std::wstring_view CutToEntryName(std::wstring_view name) {
    return name.substr(0, RAS_MaxEntryName);
}

} // namespace

const frame::ControlClass& RASEntries::Class() {
    static const frame::ControlClass cls = {
        {&CLSID_RASEntries, &IID_IRASEntries, &DIID__IRASEntriesEvents},
        L"EntroviaRASEntries",
        frame::kMiscStatusInvisibleControl,
        kProperties,
        {},
    };
    return cls;
}

std::span<const frame::Message<RASEntries>> RASEntries::Messages() {
    return {};
}

RASEntries::RASEntries()
    // Owned by the creating thread: the views open at once there, and after
    // a wait, never, on any other.
    : accessMutex_(::CreateMutexW(nullptr, TRUE, nullptr)) {
    SIZEL extent = frame::ExtentOfPixels(28, 28);
    SetExtent(DVASPECT_CONTENT, &extent);
    SetDirty(false);
}

HRESULT RASEntries::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    IUnknown* view = nullptr;
    if (iid == IID_IEntries) {
        view = static_cast<IEntries*>(this);
    } else if (iid == IID_IEntry) {
        view = static_cast<IEntry*>(this);
    } else if (iid == IID_IDevices) {
        view = static_cast<IDevices*>(this);
    } else if (iid == IID_IDevice) {
        view = static_cast<IDevice*>(this);
    }
    if (view == nullptr) {
        return Query(iid, object, static_cast<IRASEntries*>(this));
    }
    view->AddRef();
    *object = view;
    return S_OK;
}

// ---- Views ------------------------------------------------------------------

template <typename View, typename Change> HRESULT RASEntries::GiveView(View** view, Change change) {
    if (view == nullptr) {
        return E_POINTER;
    }
    *view = nullptr;
    const DWORD waited = ::WaitForSingleObject(accessMutex_.get(), kAccessWaitMs);
    if (waited == WAIT_TIMEOUT) {
        return E_FAIL;
    }
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        return S_OK;
    }
    common::MutexHold hold(accessMutex_.get());
    change();
    *view = static_cast<View*>(this);
    AddRef();
    return S_OK;
}

HRESULT RASEntries::get_Entry(BSTR Name, IEntry** pVal) {
    return GiveView(pVal, [&] {
        currentName_ = TextOf(Name);
        newEntry_ = false;
    });
}

HRESULT RASEntries::get_Entries(IEntries** pVal) {
    return GiveView(pVal, [&] { entriesMode_ = true; });
}

HRESULT RASEntries::get_Device(BSTR Name, IDevice** pVal) {
    return GiveView(pVal, [&] { currentName_ = TextOf(Name); });
}

HRESULT RASEntries::get_Devices(IDevices** pVal) {
    return GiveView(pVal, [&] { entriesMode_ = false; });
}

HRESULT RASEntries::get_ShowDefault(VARIANT_BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = showDefault_;
    return S_OK;
}

HRESULT RASEntries::put_ShowDefault(VARIANT_BOOL newVal) {
    return PutProperty(kDispidShowDefault, [&] {
        showDefault_ = newVal;
        return S_OK;
    });
}

// ---- The collection view ----------------------------------------------------

std::wstring RASEntries::EntryName() const {
    return std::wstring(CutToEntryName(currentName_));
}

std::vector<std::wstring> RASEntries::ListedEntries() const {
    std::vector<std::wstring> listed;
    DWORD bytes = 0;
    DWORD count = 0;
    RasEnumEntries(nullptr, nullptr, nullptr, &bytes, &count);
    if (bytes < sizeof(RASENTRYNAME)) {
        bytes = sizeof(RASENTRYNAME);
    }
    common::UniqueLocal memory(::LocalAlloc(LPTR, bytes));
    if (!memory) {
        return listed;
    }
    auto* names = static_cast<RASENTRYNAME*>(memory.get());
    names->dwSize = sizeof(RASENTRYNAME);
    if (RasEnumEntries(nullptr, nullptr, names, &bytes, &count) != ERROR_SUCCESS) {
        return listed;
    }
    for (DWORD i = 0; i < count && (i + 1) * sizeof(RASENTRYNAME) <= bytes; ++i) {
        // Only the low byte of the first character is looked at.
        if (!showDefault_ && (names[i].szEntryName[0] & 0xFF) == kHiddenMark) {
            continue;
        }
        listed.emplace_back(RasFieldText(names[i].szEntryName));
    }
    return listed;
}

HRESULT RASEntries::get_Count(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal =
        static_cast<LONG>(entriesMode_ ? ListedEntries().size() : entrovia::EnumDevices().size());
    return S_OK;
}

HRESULT RASEntries::get_Names(SHORT Index, BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (entriesMode_) {
        const std::vector<std::wstring> listed = ListedEntries();
        if (Index < 1 || static_cast<size_t>(Index) > listed.size()) {
            return E_INVALIDARG;
        }
        return ReturnText(listed[Index - 1], pVal);
    }
    const std::vector<entrovia::Device> devices = entrovia::EnumDevices();
    if (Index < 1 || static_cast<size_t>(Index) > devices.size()) {
        return E_INVALIDARG;
    }
    return ReturnText(devices[Index - 1].name, pVal);
}

HRESULT RASEntries::get_New(IEntry** pVal) {
    if (!entriesMode_) {
        return E_FAIL;
    }
    return GiveView(pVal, [&] { newEntry_ = true; });
}

HRESULT RASEntries::Add(BSTR Name) {
    if (!entriesMode_) {
        return E_FAIL;
    }
    const std::wstring name(CutToEntryName(TextOf(Name)));
    EntryRecord record(name);
    if (!record.valid()) {
        return E_OUTOFMEMORY;
    }
    RASENTRY& entry = record.get();
    std::memset(reinterpret_cast<BYTE*>(&entry) + sizeof(DWORD), 0,
                sizeof(RASENTRY) - sizeof(DWORD));
    const PreparedEntry& p = prepared_;
    RasCopyField(entry.szLocalPhoneNumber, p.phoneNumber);
    entry.dwfOptions = RASEO_ModemLights;
    if (p.dialAsLocalCall != 0) {
        entry.dwfOptions |= RASEO_DialAsLocalCall;
    } else {
        entry.dwCountryCode = static_cast<DWORD>(p.countryCode);
        RasCopyField(entry.szAreaCode, p.areaCode);
        entry.dwfOptions |= RASEO_UseCountryAndAreaCodes;
    }
    if (p.specificIpAddr != 0) {
        entry.dwfOptions |= RASEO_SpecificIpAddr;
        entry.ipaddr = entrovia::ParseAddress(p.ipAddress);
    }
    if (p.specificNameServers != 0) {
        entry.dwfOptions |= RASEO_SpecificNameServers;
        entry.ipaddrDns = entrovia::ParseAddress(p.dnsAddress);
        entry.ipaddrDnsAlt = entrovia::ParseAddress(p.dnsAddressAlt);
        entry.ipaddrWins = entrovia::ParseAddress(p.winsAddress);
        entry.ipaddrWinsAlt = entrovia::ParseAddress(p.winsAddressAlt);
    }
    const std::pair<VARIANT_BOOL, DWORD> options[] = {
        {p.networkLogon, RASEO_NetworkLogon},
        {p.requireMsEncryptedPw, RASEO_RequireMsEncryptedPw},
        {p.requireDataEncryption, RASEO_RequireDataEncryption},
        {p.requireEncryptedPw, RASEO_RequireEncryptedPw},
        {p.swCompression, RASEO_SwCompression},
        {p.ipHeaderCompression, RASEO_IpHeaderCompression},
        {p.remoteDefaultGateway, RASEO_RemoteDefaultGateway},
    };
    for (const auto& [value, bit] : options) {
        if (value != 0) {
            entry.dwfOptions |= bit;
        }
    }
    RasCopyField(entry.szDeviceName, p.deviceName);
    std::wstring type;
    if (!p.deviceName.empty() && entrovia::DeviceTypeOf(p.deviceName, type)) {
        RasCopyField(entry.szDeviceType, type);
    }
    entry.dwChannels = 1;
    entry.dwFramingProtocol = RASFP_Ppp;
    entry.dwfNetProtocols = RASNP_Ip;
    record.Write();

    RASDIALPARAMS params = {};
    params.dwSize = sizeof(params);
    RasCopyField(params.szEntryName, name);
    RasCopyField(params.szUserName, p.userName);
    RasCopyField(params.szDomain, p.domain);
    RasCopyField(params.szPassword, p.password);
    RasSetEntryDialParams(nullptr, &params, p.password.empty() ? TRUE : FALSE);
    return S_OK;
}

HRESULT RASEntries::Delete(BSTR Name) {
    if (!entriesMode_) {
        return E_FAIL;
    }
    if (Name != nullptr) {
        RasDeleteEntry(nullptr, std::wstring(CutToEntryName(TextOf(Name))).c_str());
    }
    return S_OK;
}

// ---- The device view --------------------------------------------------------

HRESULT RASEntries::get_DeviceType(BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    std::wstring type;
    if (!entrovia::DeviceTypeOf(currentName_, type)) {
        return S_OK; // the caller's value stays
    }
    return ReturnText(type, pVal);
}

// ---- The entry view: how each kind of property is kept ----------------------

template <typename Field>
HRESULT RASEntries::GetRecordText(BSTR* value, const std::wstring& prepared, Field field) {
    if (value == nullptr) {
        return E_POINTER;
    }
    if (newEntry_) {
        return ReturnText(prepared, value);
    }
    EntryRecord record(EntryName());
    if (!record.valid()) {
        return E_OUTOFMEMORY;
    }
    return ReturnText(RasFieldText(field(record.get())), value);
}

template <typename Field>
HRESULT RASEntries::PutRecordText(BSTR value, std::wstring& prepared, Field field) {
    if (newEntry_) {
        prepared = TextOf(value);
        return S_OK;
    }
    EntryRecord record(EntryName());
    if (!record.valid()) {
        return E_OUTOFMEMORY;
    }
    RasCopyField(field(record.get()), TextOf(value));
    record.Write();
    return S_OK;
}

template <typename Field>
HRESULT RASEntries::GetDialText(BSTR* value, const std::wstring& prepared, Field field) {
    if (value == nullptr) {
        return E_POINTER;
    }
    if (newEntry_) {
        return ReturnText(prepared, value);
    }
    DialParameters read = entrovia::ReadDialParameters(EntryName());
    return ReturnText(RasFieldText(field(read.params)), value);
}

template <typename Field>
HRESULT RASEntries::PutDialText(BSTR value, std::wstring& prepared, Field field) {
    if (newEntry_) {
        prepared = TextOf(value);
        return S_OK;
    }
    DialParameters read = entrovia::ReadDialParameters(EntryName());
    RasCopyField(field(read.params), TextOf(value));
    // The stored password stays as it is.
    RasSetEntryDialParams(nullptr, &read.params, FALSE);
    return S_OK;
}

HRESULT RASEntries::GetOption(VARIANT_BOOL* value, VARIANT_BOOL prepared, DWORD bit) {
    if (value == nullptr) {
        return E_POINTER;
    }
    if (newEntry_) {
        *value = prepared;
        return S_OK;
    }
    EntryRecord record(EntryName());
    if (!record.valid()) {
        return E_OUTOFMEMORY;
    }
    *value = (record.get().dwfOptions & bit) != 0 ? 1 : 0;
    return S_OK;
}

HRESULT RASEntries::PutOption(VARIANT_BOOL value, VARIANT_BOOL& prepared, DWORD bit) {
    if (newEntry_) {
        prepared = value;
        return S_OK;
    }
    EntryRecord record(EntryName());
    if (!record.valid()) {
        return E_OUTOFMEMORY;
    }
    if (value != 0) {
        record.get().dwfOptions |= bit;
    } else {
        record.get().dwfOptions &= ~bit;
    }
    record.Write();
    return S_OK;
}

HRESULT RASEntries::GetAddress(BSTR* value, const std::wstring& prepared,
                               RASIPADDR RASENTRY::*field) {
    if (value == nullptr) {
        return E_POINTER;
    }
    if (newEntry_) {
        return ReturnText(prepared, value);
    }
    EntryRecord record(EntryName());
    if (!record.valid()) {
        return E_OUTOFMEMORY;
    }
    return ReturnText(entrovia::FormatAddress(record.get().*field), value);
}

HRESULT RASEntries::PutAddress(BSTR value, std::wstring& prepared, RASIPADDR RASENTRY::*field) {
    const std::wstring_view text = value != nullptr ? TextOf(value) : L"0.0.0.0";
    if (newEntry_) {
        prepared = text;
        return S_OK;
    }
    EntryRecord record(EntryName());
    if (!record.valid()) {
        return E_OUTOFMEMORY;
    }
    record.get().*field = entrovia::ParseAddress(text);
    record.Write();
    return S_OK;
}

// ---- The entry view's properties --------------------------------------------

HRESULT RASEntries::get_PhoneNumber(BSTR* pVal) {
    return GetRecordText(
        pVal, prepared_.phoneNumber, [](RASENTRY & e) -> auto& { return e.szLocalPhoneNumber; });
}
HRESULT RASEntries::put_PhoneNumber(BSTR newVal) {
    return PutRecordText(
        newVal, prepared_.phoneNumber, [](RASENTRY & e) -> auto& { return e.szLocalPhoneNumber; });
}

HRESULT RASEntries::get_AreaCode(BSTR* pVal) {
    return GetRecordText(
        pVal, prepared_.areaCode, [](RASENTRY & e) -> auto& { return e.szAreaCode; });
}
HRESULT RASEntries::put_AreaCode(BSTR newVal) {
    return PutRecordText(
        newVal, prepared_.areaCode, [](RASENTRY & e) -> auto& { return e.szAreaCode; });
}

HRESULT RASEntries::get_DeviceName(BSTR* pVal) {
    return GetRecordText(
        pVal, prepared_.deviceName, [](RASENTRY & e) -> auto& { return e.szDeviceName; });
}
HRESULT RASEntries::put_DeviceName(BSTR newVal) {
    if (newEntry_) {
        prepared_.deviceName = TextOf(newVal);
        return S_OK;
    }
    EntryRecord record(EntryName());
    if (!record.valid()) {
        return E_OUTOFMEMORY;
    }
    const std::wstring_view name = TextOf(newVal);
    RasCopyField(record.get().szDeviceName, name);
    std::wstring type;
    if (name.empty()) {
        RasCopyField(record.get().szDeviceType, L"");
    } else if (entrovia::DeviceTypeOf(name, type)) {
        RasCopyField(record.get().szDeviceType, type);
    }
    record.Write();
    return S_OK;
}

HRESULT RASEntries::get_UserName(BSTR* pVal) {
    return GetDialText(
        pVal, prepared_.userName, [](RASDIALPARAMS & d) -> auto& { return d.szUserName; });
}
HRESULT RASEntries::put_UserName(BSTR newVal) {
    return PutDialText(
        newVal, prepared_.userName, [](RASDIALPARAMS & d) -> auto& { return d.szUserName; });
}

HRESULT RASEntries::get_Domain(BSTR* pVal) {
    return GetDialText(
        pVal, prepared_.domain, [](RASDIALPARAMS & d) -> auto& { return d.szDomain; });
}
HRESULT RASEntries::put_Domain(BSTR newVal) {
    return PutDialText(
        newVal, prepared_.domain, [](RASDIALPARAMS & d) -> auto& { return d.szDomain; });
}

HRESULT RASEntries::get_Password(BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (newEntry_) {
        return ReturnText(prepared_.password, pVal);
    }
    DialParameters read = entrovia::ReadDialParameters(EntryName());
    return ReturnText(read.passwordStored ? RasFieldText(read.params.szPassword) : L"", pVal);
}
HRESULT RASEntries::put_Password(BSTR newVal) {
    if (newEntry_) {
        prepared_.password = TextOf(newVal);
        return S_OK;
    }
    DialParameters read = entrovia::ReadDialParameters(EntryName());
    const std::wstring_view password = TextOf(newVal);
    RasCopyField(read.params.szPassword, password);
    // An empty password removes the stored one.
    RasSetEntryDialParams(nullptr, &read.params, password.empty() ? TRUE : FALSE);
    return S_OK;
}

HRESULT RASEntries::get_NetworkLogon(VARIANT_BOOL* pVal) {
    return GetOption(pVal, prepared_.networkLogon, RASEO_NetworkLogon);
}
HRESULT RASEntries::put_NetworkLogon(VARIANT_BOOL newVal) {
    return PutOption(newVal, prepared_.networkLogon, RASEO_NetworkLogon);
}
HRESULT RASEntries::get_RequireDataEncryption(VARIANT_BOOL* pVal) {
    return GetOption(pVal, prepared_.requireDataEncryption, RASEO_RequireDataEncryption);
}
HRESULT RASEntries::put_RequireDataEncryption(VARIANT_BOOL newVal) {
    return PutOption(newVal, prepared_.requireDataEncryption, RASEO_RequireDataEncryption);
}
HRESULT RASEntries::get_RequireEncryptedPw(VARIANT_BOOL* pVal) {
    return GetOption(pVal, prepared_.requireEncryptedPw, RASEO_RequireEncryptedPw);
}
HRESULT RASEntries::put_RequireEncryptedPw(VARIANT_BOOL newVal) {
    return PutOption(newVal, prepared_.requireEncryptedPw, RASEO_RequireEncryptedPw);
}
HRESULT RASEntries::get_RequireMsEncryptedPw(VARIANT_BOOL* pVal) {
    return GetOption(pVal, prepared_.requireMsEncryptedPw, RASEO_RequireMsEncryptedPw);
}
HRESULT RASEntries::put_RequireMsEncryptedPw(VARIANT_BOOL newVal) {
    return PutOption(newVal, prepared_.requireMsEncryptedPw, RASEO_RequireMsEncryptedPw);
}
HRESULT RASEntries::get_SwCompression(VARIANT_BOOL* pVal) {
    return GetOption(pVal, prepared_.swCompression, RASEO_SwCompression);
}
HRESULT RASEntries::put_SwCompression(VARIANT_BOOL newVal) {
    return PutOption(newVal, prepared_.swCompression, RASEO_SwCompression);
}
HRESULT RASEntries::get_SpecificIpAddr(VARIANT_BOOL* pVal) {
    return GetOption(pVal, prepared_.specificIpAddr, RASEO_SpecificIpAddr);
}
HRESULT RASEntries::put_SpecificIpAddr(VARIANT_BOOL newVal) {
    return PutOption(newVal, prepared_.specificIpAddr, RASEO_SpecificIpAddr);
}
HRESULT RASEntries::get_SpecificNameServers(VARIANT_BOOL* pVal) {
    return GetOption(pVal, prepared_.specificNameServers, RASEO_SpecificNameServers);
}
HRESULT RASEntries::put_SpecificNameServers(VARIANT_BOOL newVal) {
    return PutOption(newVal, prepared_.specificNameServers, RASEO_SpecificNameServers);
}
HRESULT RASEntries::get_IpHeaderCompression(VARIANT_BOOL* pVal) {
    return GetOption(pVal, prepared_.ipHeaderCompression, RASEO_IpHeaderCompression);
}
HRESULT RASEntries::put_IpHeaderCompression(VARIANT_BOOL newVal) {
    return PutOption(newVal, prepared_.ipHeaderCompression, RASEO_IpHeaderCompression);
}
HRESULT RASEntries::get_RemoteDefaultGateway(VARIANT_BOOL* pVal) {
    return GetOption(pVal, prepared_.remoteDefaultGateway, RASEO_RemoteDefaultGateway);
}
HRESULT RASEntries::put_RemoteDefaultGateway(VARIANT_BOOL newVal) {
    return PutOption(newVal, prepared_.remoteDefaultGateway, RASEO_RemoteDefaultGateway);
}

HRESULT RASEntries::get_DialAsLocalCall(VARIANT_BOOL* pVal) {
    return GetOption(pVal, prepared_.dialAsLocalCall, RASEO_DialAsLocalCall);
}
HRESULT RASEntries::put_DialAsLocalCall(VARIANT_BOOL newVal) {
    if (newEntry_) {
        prepared_.dialAsLocalCall = newVal;
        return S_OK;
    }
    EntryRecord record(EntryName());
    if (!record.valid()) {
        return E_OUTOFMEMORY;
    }
    // A local call leaves out the country and area codes, and the other way round.
    DWORD& options = record.get().dwfOptions;
    if (newVal != 0) {
        options = (options | RASEO_DialAsLocalCall) & ~RASEO_UseCountryAndAreaCodes;
    } else {
        options = (options & ~RASEO_DialAsLocalCall) | RASEO_UseCountryAndAreaCodes;
    }
    record.Write();
    return S_OK;
}

HRESULT RASEntries::get_IpAddress(BSTR* pVal) {
    return GetAddress(pVal, prepared_.ipAddress, &RASENTRY::ipaddr);
}
HRESULT RASEntries::put_IpAddress(BSTR newVal) {
    return PutAddress(newVal, prepared_.ipAddress, &RASENTRY::ipaddr);
}
HRESULT RASEntries::get_DnsAddress(BSTR* pVal) {
    return GetAddress(pVal, prepared_.dnsAddress, &RASENTRY::ipaddrDns);
}
HRESULT RASEntries::put_DnsAddress(BSTR newVal) {
    return PutAddress(newVal, prepared_.dnsAddress, &RASENTRY::ipaddrDns);
}
HRESULT RASEntries::get_DnsAddressAlt(BSTR* pVal) {
    return GetAddress(pVal, prepared_.dnsAddressAlt, &RASENTRY::ipaddrDnsAlt);
}
HRESULT RASEntries::put_DnsAddressAlt(BSTR newVal) {
    return PutAddress(newVal, prepared_.dnsAddressAlt, &RASENTRY::ipaddrDnsAlt);
}
HRESULT RASEntries::get_WinsAddress(BSTR* pVal) {
    return GetAddress(pVal, prepared_.winsAddress, &RASENTRY::ipaddrWins);
}
HRESULT RASEntries::put_WinsAddress(BSTR newVal) {
    return PutAddress(newVal, prepared_.winsAddress, &RASENTRY::ipaddrWins);
}
HRESULT RASEntries::get_WinsAddressAlt(BSTR* pVal) {
    return GetAddress(pVal, prepared_.winsAddressAlt, &RASENTRY::ipaddrWinsAlt);
}
HRESULT RASEntries::put_WinsAddressAlt(BSTR newVal) {
    return PutAddress(newVal, prepared_.winsAddressAlt, &RASENTRY::ipaddrWinsAlt);
}

HRESULT RASEntries::get_CountryCode(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (newEntry_) {
        *pVal = prepared_.countryCode;
        return S_OK;
    }
    EntryRecord record(EntryName());
    if (!record.valid()) {
        return E_OUTOFMEMORY;
    }
    *pVal = static_cast<LONG>(record.get().dwCountryCode);
    return S_OK;
}
HRESULT RASEntries::put_CountryCode(LONG newVal) {
    const LONG code = newVal != 0 ? newVal : LocaleCountryCode();
    if (newEntry_) {
        prepared_.countryCode = code;
        return S_OK;
    }
    EntryRecord record(EntryName());
    if (!record.valid()) {
        return E_OUTOFMEMORY;
    }
    record.get().dwCountryCode = static_cast<DWORD>(code);
    record.Write();
    return S_OK;
}
