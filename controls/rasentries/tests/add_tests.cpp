// Preparing a new entry with New and writing it with Add; deleting entries.
#include <windows.h>

#include <cstring>

#include <gtest/gtest.h>

#include "entries_fixture.h"

namespace {

using NewEntry = EntriesTest;

TEST_F(NewEntry, AddWritesThePreparedValuesWithTheDefaultOptions) {
    Owns(L"EvAdded");
    common::ComPtr<IEntries> entries = EntriesView();
    common::ComPtr<IEntry> prepared;
    ASSERT_EQ(entries->get_New(prepared.put()), S_OK);
    VARIANT_BOOL value = 0;
    ASSERT_EQ(prepared->get_RequireDataEncryption(&value), S_OK);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(Read(prepared, &IEntry::get_IpAddress), L"0.0.0.0");

    ASSERT_EQ(prepared->put_PhoneNumber(Text(L"0800123456")), S_OK);
    ASSERT_EQ(prepared->put_AreaCode(Text(L"040")), S_OK);
    ASSERT_EQ(prepared->put_CountryCode(49), S_OK);
    ASSERT_EQ(prepared->put_DeviceName(Text(L"Hayes Compatible on COM1:")), S_OK);
    ASSERT_EQ(prepared->put_UserName(Text(L"depot")), S_OK);
    ASSERT_EQ(prepared->put_Password(Text(L"gate")), S_OK);
    ASSERT_EQ(prepared->put_Domain(Text(L"NORTH")), S_OK);
    ASSERT_EQ(prepared->put_IpAddress(Text(L"10.1.2.3")), S_OK);
    EXPECT_FALSE(EntryExists(L"EvAdded")) << "preparing touches no phonebook";
    ASSERT_EQ(entries->Add(Text(L"EvAdded")), S_OK);

    const RASENTRY stored = StoredEntry(L"EvAdded");
    EXPECT_EQ(stored.dwfOptions, 0x100u | 0x1 | 0x8 | 0x10 | 0x200 | 0x400 | 0x1000);
    EXPECT_EQ(RasFieldText(stored.szLocalPhoneNumber), L"0800123456");
    EXPECT_EQ(RasFieldText(stored.szAreaCode), L"040");
    EXPECT_EQ(stored.dwCountryCode, 49u);
    EXPECT_EQ(RasFieldText(stored.szDeviceType), L"modem");
    EXPECT_EQ(stored.dwChannels, 1u);
    EXPECT_EQ(stored.dwFramingProtocol, 1u);
    EXPECT_EQ(stored.dwfNetProtocols, 4u);
    EXPECT_EQ(stored.ipaddr.a, 0) << "no specific address was asked for";
    BOOL passwordStored = FALSE;
    const RASDIALPARAMS params = StoredDialParams(L"EvAdded", &passwordStored);
    EXPECT_EQ(RasFieldText(params.szUserName), L"depot");
    EXPECT_EQ(RasFieldText(params.szDomain), L"NORTH");
    EXPECT_TRUE(passwordStored);
    EXPECT_EQ(RasFieldText(params.szPassword), L"gate");

    // The entry view still works on the prepared values after Add.
    EXPECT_EQ(Read(prepared, &IEntry::get_PhoneNumber), L"0800123456");
}

TEST_F(NewEntry, SpecificAddressesLocalCallsAndBooleansAsTheScriptGaveThem) {
    Owns(L"EvAddresses");
    common::ComPtr<IEntries> entries = EntriesView();
    common::ComPtr<IEntry> prepared;
    ASSERT_EQ(entries->get_New(prepared.put()), S_OK);
    ASSERT_EQ(prepared->put_SpecificIpAddr(VARIANT_TRUE), S_OK);
    ASSERT_EQ(prepared->put_SpecificNameServers(VARIANT_TRUE), S_OK);
    ASSERT_EQ(prepared->put_IpAddress(Text(L"10.0.0.1")), S_OK);
    ASSERT_EQ(prepared->put_DnsAddress(Text(L"1.2.3.4")), S_OK);
    ASSERT_EQ(prepared->put_WinsAddressAlt(Text(L" 7.8.9.10 ")), S_OK);
    ASSERT_EQ(prepared->put_DialAsLocalCall(VARIANT_TRUE), S_OK);
    ASSERT_EQ(prepared->put_SwCompression(0), S_OK);
    ASSERT_EQ(prepared->put_AreaCode(Text(L"089")), S_OK);
    VARIANT_BOOL value = 0;
    ASSERT_EQ(prepared->get_SpecificIpAddr(&value), S_OK);
    EXPECT_EQ(value, VARIANT_TRUE) << "kept as given, not as a bit";
    EXPECT_EQ(Read(prepared, &IEntry::get_WinsAddressAlt), L" 7.8.9.10 ");
    ASSERT_EQ(entries->Add(Text(L"EvAddresses")), S_OK);

    const RASENTRY stored = StoredEntry(L"EvAddresses");
    EXPECT_EQ(stored.dwfOptions, 0x100u | 0x20000 | 0x2 | 0x4 | 0x8 | 0x10 | 0x400 | 0x1000);
    const BYTE ip[4] = {1, 0, 0, 10};
    const BYTE dns[4] = {4, 3, 2, 1};
    EXPECT_EQ(std::memcmp(&stored.ipaddr, ip, 4), 0);
    EXPECT_EQ(std::memcmp(&stored.ipaddrDns, dns, 4), 0);
    EXPECT_EQ(RasFieldText(stored.szAreaCode), L"") << "a local call keeps no area code";
    EXPECT_EQ(stored.dwCountryCode, 0u);

    // A second New starts from the values of the first.
    common::ComPtr<IEntry> again;
    ASSERT_EQ(entries->get_New(again.put()), S_OK);
    EXPECT_EQ(Read(again, &IEntry::get_IpAddress), L"10.0.0.1");
    // Entry leaves the prepared values for the phonebook.
    common::ComPtr<IEntry> existing = EntryView(L"EvAddresses");
    ASSERT_EQ(existing->get_SpecificIpAddr(&value), S_OK);
    EXPECT_EQ(value, 1);
}

TEST_F(NewEntry, AnEmptyPreparedPasswordStoresNoneAndLongNamesAreCut) {
    Owns(L"EvABCDEFGHIJKLMNOPQR");
    common::ComPtr<IEntries> entries = EntriesView();
    common::ComPtr<IEntry> prepared;
    ASSERT_EQ(entries->get_New(prepared.put()), S_OK);
    ASSERT_EQ(prepared->put_Password(nullptr), S_OK);
    ASSERT_EQ(entries->Add(Text(L"EvABCDEFGHIJKLMNOPQRSTUVWXYZ")), S_OK);
    ASSERT_TRUE(EntryExists(L"EvABCDEFGHIJKLMNOPQR"));
    BOOL passwordStored = TRUE;
    StoredDialParams(L"EvABCDEFGHIJKLMNOPQR", &passwordStored);
    EXPECT_FALSE(passwordStored);

    ASSERT_EQ(entries->Delete(Text(L"EvABCDEFGHIJKLMNOPQR")), S_OK);
    EXPECT_FALSE(EntryExists(L"EvABCDEFGHIJKLMNOPQR"));
    EXPECT_EQ(entries->Delete(Text(L"EvNeverThere")), S_OK);
    EXPECT_EQ(entries->Delete(nullptr), S_OK);
}

} // namespace
