// RASEntries: the terminal's dial-up phonebook and devices for the script.
// Invisible at run time. One object answers for the whole tree of views
// (entries, an entry, devices, a device): which entry or device a view speaks
// of, and which list the collection view lists, is the object's own state,
// changed by the getters that hand out the views. Entry properties go to the
// phonebook each time; only an entry being prepared with New is kept here.
#pragma once

#include <string>
#include <vector>

#include "Entrovia.h"
#include "ceras.h"
#include "common/handle.h"
#include "frame/control.h"

class RASEntries final : public frame::Control<RASEntries, IRASEntries>,
                         public frame::DualDispatch<IEntries>,
                         public frame::DualDispatch<IEntry>,
                         public frame::DualDispatch<IDevices>,
                         public frame::DualDispatch<IDevice> {
public:
    static const frame::ControlClass& Class();
    static std::span<const frame::Message<RASEntries>> Messages();

    RASEntries();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefObject(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseObject(); }

    // IRASEntries
    HRESULT STDMETHODCALLTYPE get_Entry(BSTR Name, IEntry** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Entries(IEntries** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Device(BSTR Name, IDevice** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Devices(IDevices** pVal) override;
    HRESULT STDMETHODCALLTYPE get_ShowDefault(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ShowDefault(VARIANT_BOOL newVal) override;

    // IEntries and IDevices
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Names(SHORT Index, BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_New(IEntry** pVal) override;
    HRESULT STDMETHODCALLTYPE Add(BSTR Name) override;
    HRESULT STDMETHODCALLTYPE Delete(BSTR Name) override;

    // IDevice
    HRESULT STDMETHODCALLTYPE get_DeviceType(BSTR* pVal) override;

    // IEntry
    HRESULT STDMETHODCALLTYPE get_PhoneNumber(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_PhoneNumber(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_UserName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_UserName(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Password(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Password(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Domain(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Domain(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_NetworkLogon(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_NetworkLogon(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_RequireDataEncryption(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_RequireDataEncryption(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_RequireEncryptedPw(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_RequireEncryptedPw(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_RequireMsEncryptedPw(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_RequireMsEncryptedPw(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_SwCompression(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_SwCompression(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_SpecificIpAddr(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_SpecificIpAddr(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_SpecificNameServers(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_SpecificNameServers(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_IpHeaderCompression(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_IpHeaderCompression(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_RemoteDefaultGateway(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_RemoteDefaultGateway(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_IpAddress(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_IpAddress(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_DnsAddress(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_DnsAddress(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_DnsAddressAlt(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_DnsAddressAlt(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_WinsAddress(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_WinsAddress(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_WinsAddressAlt(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_WinsAddressAlt(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_DialAsLocalCall(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_DialAsLocalCall(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_CountryCode(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_CountryCode(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_AreaCode(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_AreaCode(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_DeviceName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_DeviceName(BSTR newVal) override;

private:
    // The values Add writes into a new entry.
    struct PreparedEntry {
        std::wstring phoneNumber;
        std::wstring userName;
        std::wstring password;
        std::wstring domain;
        std::wstring areaCode;
        std::wstring deviceName;
        VARIANT_BOOL networkLogon = 0;
        VARIANT_BOOL requireDataEncryption = 1;
        VARIANT_BOOL requireEncryptedPw = 1;
        VARIANT_BOOL requireMsEncryptedPw = 0;
        VARIANT_BOOL swCompression = 1;
        VARIANT_BOOL specificIpAddr = 0;
        VARIANT_BOOL specificNameServers = 0;
        VARIANT_BOOL ipHeaderCompression = 1;
        VARIANT_BOOL remoteDefaultGateway = 1;
        std::wstring ipAddress = L"0.0.0.0";
        std::wstring dnsAddress = L"0.0.0.0";
        std::wstring dnsAddressAlt = L"0.0.0.0";
        std::wstring winsAddress = L"0.0.0.0";
        std::wstring winsAddressAlt = L"0.0.0.0";
        VARIANT_BOOL dialAsLocalCall = 0;
        LONG countryCode = 0;
    };

    // Hands out a view under the access mutex after `change` has set the
    // object's state for it.
    template <typename View, typename Change> HRESULT GiveView(View** view, Change change);

    // The entry the entry view speaks of, as the phonebook names it.
    std::wstring EntryName() const;
    // The phonebook's entries as the script sees them: backquote entries
    // only with ShowDefault.
    std::vector<std::wstring> ListedEntries() const;

    template <typename Field>
    HRESULT GetRecordText(BSTR* value, const std::wstring& prepared, Field field);
    template <typename Field>
    HRESULT PutRecordText(BSTR value, std::wstring& prepared, Field field);
    template <typename Field>
    HRESULT GetDialText(BSTR* value, const std::wstring& prepared, Field field);
    template <typename Field> HRESULT PutDialText(BSTR value, std::wstring& prepared, Field field);
    HRESULT GetOption(VARIANT_BOOL* value, VARIANT_BOOL prepared, DWORD bit);
    HRESULT PutOption(VARIANT_BOOL value, VARIANT_BOOL& prepared, DWORD bit);
    HRESULT GetAddress(BSTR* value, const std::wstring& prepared, RASIPADDR RASENTRY::*field);
    HRESULT PutAddress(BSTR value, std::wstring& prepared, RASIPADDR RASENTRY::*field);

    std::wstring currentName_;
    bool entriesMode_ = false; // the collection view lists entries, else devices
    bool newEntry_ = false;    // the entry view works on the prepared values
    VARIANT_BOOL showDefault_ = 0;
    common::UniqueKernel accessMutex_;
    PreparedEntry prepared_;
};
