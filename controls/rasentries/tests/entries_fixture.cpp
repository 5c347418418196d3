#include "entries_fixture.h"
#include "testsupport/server_registration.h"

HRESULT RegisterEntroviaServer() {
    return testsupport::RegisterServer(L"Entrovia.dll");
}

HRESULT UnregisterEntroviaServer() {
    return testsupport::UnregisterServer(L"Entrovia.dll");
}

RASENTRY StoredEntry(const std::wstring& name) {
    RASENTRY entry = {};
    entry.dwSize = sizeof(entry);
    DWORD bytes = sizeof(entry);
    RasGetEntryProperties(nullptr, name.c_str(), &entry, &bytes, nullptr, nullptr);
    return entry;
}

RASDIALPARAMS StoredDialParams(const std::wstring& name, BOOL* passwordStored) {
    RASDIALPARAMS params = {};
    params.dwSize = sizeof(params);
    RasCopyField(params.szEntryName, name);
    BOOL stored = FALSE;
    RasGetEntryDialParams(nullptr, &params, &stored);
    if (passwordStored != nullptr) {
        *passwordStored = stored;
    }
    return params;
}

bool EntryExists(const std::wstring& name) {
    DWORD bytes = 0;
    return RasGetEntryProperties(nullptr, name.c_str(), nullptr, &bytes, nullptr, nullptr) ==
           static_cast<DWORD>(ERROR_BUFFER_TOO_SMALL);
}

void EntriesTest::SetUp() {
    ASSERT_EQ(RegisterEntroviaServer(), S_OK);
    ASSERT_EQ(::CoCreateInstance(CLSID_RASEntries, nullptr, CLSCTX_INPROC_SERVER, IID_IRASEntries,
                                 control_.put_void()),
              S_OK);
}

void EntriesTest::TearDown() {
    control_.reset();
    for (const std::wstring& name : owned_) {
        RasDeleteEntry(nullptr, name.c_str());
    }
}

void EntriesTest::CreateEntry(const std::wstring& name, DWORD options, const std::wstring& phone) {
    RASENTRY entry = {};
    entry.dwSize = sizeof(entry);
    entry.dwfOptions = options;
    RasCopyField(entry.szLocalPhoneNumber, phone);
    ASSERT_EQ(RasSetEntryProperties(nullptr, name.c_str(), &entry, sizeof(entry), nullptr, 0), 0u);
    Owns(name);
}

common::ComPtr<IEntry> EntriesTest::EntryView(const wchar_t* name) {
    common::ComPtr<IEntry> view;
    EXPECT_EQ(control_->get_Entry(Text(name), view.put()), S_OK);
    return view;
}

common::ComPtr<IEntries> EntriesTest::EntriesView() {
    common::ComPtr<IEntries> view;
    EXPECT_EQ(control_->get_Entries(view.put()), S_OK);
    return view;
}

common::ComPtr<IDevices> EntriesTest::DevicesView() {
    common::ComPtr<IDevices> view;
    EXPECT_EQ(control_->get_Devices(view.put()), S_OK);
    return view;
}
