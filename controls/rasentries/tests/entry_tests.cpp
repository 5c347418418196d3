// Properties of an existing entry: each read from and written to the
// phonebook at once, bits and address bytes as the record holds them.
#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include "entries_fixture.h"

namespace {

using ExistingEntry = EntriesTest;

TEST_F(ExistingEntry, BooleansAreTheirOptionBitsAndReadAsOne) {
    CreateEntry(L"EvBits", RASEO_SwCompression | RASEO_UseCountryAndAreaCodes);
    common::ComPtr<IEntry> entry = EntryView(L"EvBits");
    VARIANT_BOOL value = -5;
    ASSERT_EQ(entry->get_SwCompression(&value), S_OK);
    EXPECT_EQ(value, 1);
    ASSERT_EQ(entry->get_NetworkLogon(&value), S_OK);
    EXPECT_EQ(value, 0);

    struct Bit {
        HRESULT (STDMETHODCALLTYPE IEntry::*put)(VARIANT_BOOL);
        DWORD bit;
    };
    const Bit bits[] = {
        {&IEntry::put_NetworkLogon, 0x2000},      {&IEntry::put_RequireDataEncryption, 0x1000},
        {&IEntry::put_RequireEncryptedPw, 0x400}, {&IEntry::put_RequireMsEncryptedPw, 0x800},
        {&IEntry::put_SpecificIpAddr, 0x2},       {&IEntry::put_SpecificNameServers, 0x4},
        {&IEntry::put_IpHeaderCompression, 0x8},  {&IEntry::put_RemoteDefaultGateway, 0x10},
    };
    for (const Bit& bit : bits) {
        ASSERT_EQ((entry.get()->*bit.put)(VARIANT_TRUE), S_OK);
        EXPECT_NE(StoredEntry(L"EvBits").dwfOptions & bit.bit, 0u) << bit.bit;
    }
    ASSERT_EQ(entry->put_SwCompression(0), S_OK);
    EXPECT_EQ(StoredEntry(L"EvBits").dwfOptions, 0x3E1Fu & ~0x200u);

    // A local call and the country and area codes exclude each other.
    ASSERT_EQ(entry->put_DialAsLocalCall(2), S_OK);
    DWORD options = StoredEntry(L"EvBits").dwfOptions;
    EXPECT_NE(options & 0x20000, 0u);
    EXPECT_EQ(options & 0x1, 0u);
    ASSERT_EQ(entry->get_DialAsLocalCall(&value), S_OK);
    EXPECT_EQ(value, 1);
    ASSERT_EQ(entry->put_DialAsLocalCall(0), S_OK);
    options = StoredEntry(L"EvBits").dwfOptions;
    EXPECT_EQ(options & 0x20000, 0u);
    EXPECT_NE(options & 0x1, 0u);
}

TEST_F(ExistingEntry, AddressesAreStoredLastOctetFirst) {
    CreateEntry(L"EvAddress");
    common::ComPtr<IEntry> entry = EntryView(L"EvAddress");
    ASSERT_EQ(entry->put_IpAddress(Text(L"10.0.0.1")), S_OK);
    RASENTRY stored = StoredEntry(L"EvAddress");
    const BYTE expected[4] = {1, 0, 0, 10};
    EXPECT_EQ(std::memcmp(&stored.ipaddr, expected, 4), 0);
    EXPECT_EQ(Read(entry, &IEntry::get_IpAddress), L"10.0.0.1");
    EXPECT_EQ(stored.dwfOptions & RASEO_SpecificIpAddr, 0u) << "the flag is the script's to set";

    ASSERT_EQ(entry->put_DnsAddress(Text(L"192.168.20.7")), S_OK);
    EXPECT_EQ(Read(entry, &IEntry::get_DnsAddress), L"192.168.20.7");
    ASSERT_EQ(entry->put_WinsAddressAlt(Text(L"not an address")), S_OK);
    EXPECT_EQ(Read(entry, &IEntry::get_WinsAddressAlt), L"255.255.255.255");
    ASSERT_EQ(entry->put_DnsAddressAlt(nullptr), S_OK);
    EXPECT_EQ(Read(entry, &IEntry::get_DnsAddressAlt), L"0.0.0.0");
    EXPECT_EQ(Read(entry, &IEntry::get_WinsAddress), L"0.0.0.0");
}

TEST_F(ExistingEntry, TextsAreCutToTheirFields) {
    CreateEntry(L"EvTexts");
    common::ComPtr<IEntry> entry = EntryView(L"EvTexts");
    const std::wstring longText(300, L'9');
    ASSERT_EQ(entry->put_PhoneNumber(Text(longText.c_str())), S_OK);
    EXPECT_EQ(Read(entry, &IEntry::get_PhoneNumber), std::wstring(128, L'9'));
    ASSERT_EQ(entry->put_AreaCode(Text(longText.c_str())), S_OK);
    EXPECT_EQ(Read(entry, &IEntry::get_AreaCode), std::wstring(10, L'9'));
    ASSERT_EQ(entry->put_UserName(Text(longText.c_str())), S_OK);
    EXPECT_EQ(Read(entry, &IEntry::get_UserName), std::wstring(256, L'9'));
    ASSERT_EQ(entry->put_Domain(Text(L"A-DOMAIN-OF-TWENTY-SIX-CH")), S_OK);
    EXPECT_EQ(Read(entry, &IEntry::get_Domain), L"A-DOMAIN-OF-TWE");
    // The record's neighbouring fields are untouched.
    const RASENTRY stored = StoredEntry(L"EvTexts");
    EXPECT_EQ(stored.dwAlternateOffset, 0u);
    EXPECT_EQ(stored.ipaddr.a, 0);
}

TEST_F(ExistingEntry, UserNameAndDomainKeepThePasswordAnEmptyPasswordRemovesIt) {
    CreateEntry(L"EvCredentials");
    common::ComPtr<IEntry> entry = EntryView(L"EvCredentials");
    ASSERT_EQ(entry->put_Password(Text(L"pa55")), S_OK);
    ASSERT_EQ(entry->put_UserName(Text(L"driver7")), S_OK);
    ASSERT_EQ(entry->put_Domain(Text(L"YARD")), S_OK);
    BOOL stored = FALSE;
    RASDIALPARAMS params = StoredDialParams(L"EvCredentials", &stored);
    EXPECT_TRUE(stored);
    EXPECT_EQ(RasFieldText(params.szPassword), L"pa55");
    EXPECT_EQ(RasFieldText(params.szUserName), L"driver7");
    EXPECT_EQ(Read(entry, &IEntry::get_Password), L"pa55");

    ASSERT_EQ(entry->put_Password(Text(L"")), S_OK);
    StoredDialParams(L"EvCredentials", &stored);
    EXPECT_FALSE(stored);
    EXPECT_EQ(Read(entry, &IEntry::get_Password), L"");
    EXPECT_EQ(Read(entry, &IEntry::get_Domain), L"YARD");
}

TEST_F(ExistingEntry, CountryCodeZeroIsTheLocalesAndDeviceNameBringsItsType) {
    CreateEntry(L"EvDevice");
    common::ComPtr<IEntry> entry = EntryView(L"EvDevice");
    wchar_t country[7] = {};
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, country, 7);
    ASSERT_EQ(entry->put_CountryCode(0), S_OK);
    LONG code = -1;
    ASSERT_EQ(entry->get_CountryCode(&code), S_OK);
    EXPECT_EQ(code, std::wcstol(country, nullptr, 10));
    EXPECT_NE(code, 0);
    ASSERT_EQ(entry->put_CountryCode(44), S_OK);
    EXPECT_EQ(StoredEntry(L"EvDevice").dwCountryCode, 44u);

    ASSERT_EQ(entry->put_DeviceName(Text(L"Serial Cable on COM1:")), S_OK);
    EXPECT_EQ(RasFieldText(StoredEntry(L"EvDevice").szDeviceType), L"direct");
    ASSERT_EQ(entry->put_DeviceName(Text(L"serial cable on com1:")), S_OK);
    RASENTRY stored = StoredEntry(L"EvDevice");
    EXPECT_EQ(RasFieldText(stored.szDeviceName), L"serial cable on com1:");
    EXPECT_EQ(RasFieldText(stored.szDeviceType), L"direct") << "no match keeps the type";
    ASSERT_EQ(entry->put_DeviceName(Text(L"")), S_OK);
    EXPECT_EQ(RasFieldText(StoredEntry(L"EvDevice").szDeviceType), L"");
}

TEST_F(ExistingEntry, AnEntryThatIsNotThereReadsEmptyAndAPutWritesAnOtherwiseEmptyOne) {
    Owns(L"EvNotThere");
    common::ComPtr<IEntry> entry = EntryView(L"EvNotThere");
    EXPECT_EQ(Read(entry, &IEntry::get_PhoneNumber), L"");
    EXPECT_EQ(Read(entry, &IEntry::get_UserName), L"");
    VARIANT_BOOL value = -5;
    ASSERT_EQ(entry->get_SwCompression(&value), S_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(entry->put_PhoneNumber(Text(L"123")), S_OK);
    ASSERT_TRUE(EntryExists(L"EvNotThere"));
    const RASENTRY stored = StoredEntry(L"EvNotThere");
    EXPECT_EQ(RasFieldText(stored.szLocalPhoneNumber), L"123");
    EXPECT_EQ(stored.dwfOptions, 0u);
    EXPECT_EQ(entry->get_PhoneNumber(nullptr), E_POINTER);
}

} // namespace
