// Hanging up: the control's own connection, or a connection found by name.
#include <windows.h>

#include <gtest/gtest.h>

#include "dial_fixture.h"

namespace {

using HangingUp = DialTest;

TEST_F(HangingUp, WithNoConnectionNothingHappens) {
    EXPECT_EQ(Hangup(nullptr), S_OK);
    EXPECT_EQ(Hangup(L""), S_OK);
    EXPECT_EQ(Hangup(L"DvNobodyHasThis"), S_OK);
    EXPECT_TRUE(Events().empty());
}

TEST_F(HangingUp, TheOwnConnectionWithoutANameOrByTheDialledName) {
    CreateEntry(L"DvOwn");
    ASSERT_EQ(Dial(L"DvOwn"), S_OK);
    ClearEvents();
    ASSERT_EQ(Hangup(nullptr), S_OK);
    EXPECT_EQ(Events(), Progress({L"Disconnecting...", L"Connection idle."}));
    EXPECT_EQ(State(), 25);
    EXPECT_TRUE(ConnectionNames().empty());

    ASSERT_EQ(Dial(L"DvOwn"), S_OK);
    ClearEvents();
    ASSERT_EQ(Hangup(L"DvOwn"), S_OK);
    EXPECT_EQ(Events(), Progress({L"Disconnecting...", L"Connection idle."}));
    EXPECT_EQ(State(), 25);
    ClearEvents();
    EXPECT_EQ(Hangup(L"DvOwn"), S_OK);
    EXPECT_TRUE(Events().empty()) << "nothing is left to hang up";
}

TEST_F(HangingUp, ByNameAnotherConnectionGoesAndTheOwnStays) {
    CreateEntry(L"DvMine");
    CreateEntry(L"DvOther", {L"0", L"8192"});
    HWND window = ::CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    nullptr, nullptr);
    RASDIALPARAMS params = {};
    params.dwSize = sizeof(params);
    RasCopyField(params.szEntryName, L"DvOther");
    HRASCONN other = 0;
    ASSERT_EQ(RasDial(nullptr, nullptr, &params, RAS_NOTIFIER_WINDOW, window, &other), 0u);
    ASSERT_EQ(Dial(L"DvMine"), S_OK);
    ASSERT_EQ(ConnectionNames().size(), 2u);
    ClearEvents();

    EXPECT_EQ(Hangup(L"dvother"), S_OK) << "names are compared as written";
    EXPECT_TRUE(Events().empty());
    ASSERT_EQ(Hangup(L"DvOther"), S_OK);
    EXPECT_EQ(Events(), Progress({L"Disconnecting...", L"Connection idle."}));
    EXPECT_EQ(ConnectionNames(), std::vector<std::wstring>{L"DvMine"});
    EXPECT_EQ(State(), 8192) << "the control's own connection is still there";
    ::DestroyWindow(window);
}

TEST_F(HangingUp, AnAsynchronousDialStopsWhereItWas) {
    CreateEntry(L"DvStopped", {}, 20);
    ASSERT_EQ(control_->put_SyncDial(0), S_OK);
    ASSERT_EQ(Dial(L"DvStopped"), S_OK);
    ASSERT_EQ(Hangup(nullptr), S_OK);
    EXPECT_EQ(Events(), Progress({L"Connecting...", L"Disconnecting...", L"Connection idle."}));
    ClearEvents();
    EXPECT_FALSE(PumpUntil(L"Progress", 300)) << "the dial tells nothing after its hang-up";
    EXPECT_EQ(State(), 25);
}

} // namespace
