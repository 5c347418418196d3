// The dial-up control as its tests drive it: in a form, with a recorder of
// its events, phonebook entries and dial scenarios of the test's own.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ceras.h"
#include "common/com.h"
#include "dialvora_interfaces.h"
#include "testsupport/ole_container.h"

HRESULT RegisterDialvoraServer();

// One event as the script would see it: its name and its message.
struct DialEvent {
    std::wstring name; // "Error", "Progress" or "Connected"
    std::wstring message;
    bool operator==(const DialEvent&) const = default;
};
std::ostream& operator<<(std::ostream& out, const DialEvent& event);

std::vector<DialEvent> Progress(std::initializer_list<const wchar_t*> messages);

class DialTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A phonebook entry of this test's with a scenario (`states` empty: the
    // default states); both go in TearDown.
    void CreateEntry(const std::wstring& name, std::vector<const wchar_t*> states = {},
                     DWORD stepMs = 1, DWORD error = 0, DWORD refuse = 0);

    // The events so far, and clearing them.
    std::vector<DialEvent> Events() const;
    void ClearEvents() { recorder_->Clear(); }
    // Pumps this thread's messages until an event named `name` arrived.
    bool PumpUntil(const wchar_t* name, DWORD timeoutMs = 5000);

    HRESULT Dial(const wchar_t* entry, const wchar_t* user = L"", const wchar_t* password = L"",
                 const wchar_t* domain = L"");
    HRESULT Hangup(const wchar_t* entry);
    LONG State();
    std::wstring ErrorText();
    // The connections the platform has, by entry name.
    std::vector<std::wstring> ConnectionNames();

    common::ComApartment apartment_;
    testsupport::OleContainer container_;
    common::ComPtr<IRASDial> control_;
    common::ComPtr<testsupport::EventRecorder> recorder_;
    testsupport::SinkConnection connection_;

private:
    std::vector<std::wstring> entries_;
};
