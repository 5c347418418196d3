// The entries control as its tests drive it: created in this thread's
// apartment, with phonebook entries of the test's own that go again after.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Entrovia.h"
#include "ceras.h"
#include "common/com.h"

// Registers Entrovia.dll (again: the terminal registers it too).
HRESULT RegisterEntroviaServer();
HRESULT UnregisterEntroviaServer();

// The stored record and dial parameters of an entry, read past the control.
RASENTRY StoredEntry(const std::wstring& name);
RASDIALPARAMS StoredDialParams(const std::wstring& name, BOOL* passwordStored = nullptr);
bool EntryExists(const std::wstring& name);

class EntriesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // An entry in the phonebook for this test, removed in TearDown.
    void CreateEntry(const std::wstring& name, DWORD options = 0,
                     const std::wstring& phone = L"5550100");
    // A name this test removes in TearDown, whoever created it.
    void Owns(const std::wstring& name) { owned_.push_back(name); }

    common::ComPtr<IEntry> EntryView(const wchar_t* name);
    common::ComPtr<IEntries> EntriesView();
    common::ComPtr<IDevices> DevicesView();

    common::ComApartment apartment_;
    common::ComPtr<IRASEntries> control_;

private:
    std::vector<std::wstring> owned_;
};

// A BSTR argument that lives for one call.
class Text {
public:
    explicit Text(const wchar_t* text) : s_(::SysAllocString(text)) {}
    ~Text() { ::SysFreeString(s_); }
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    operator BSTR() const { return s_; }

private:
    BSTR s_;
};

// A string property read through `get`.
template <typename I, typename Get> std::wstring Read(const common::ComPtr<I>& view, Get get) {
    common::UniqueBstr value;
    const HRESULT hr = (view.get()->*get)(value.put());
    return SUCCEEDED(hr) ? std::wstring(value.view()) : L"<failed>";
}
