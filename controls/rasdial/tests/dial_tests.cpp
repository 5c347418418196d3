// Dialling an entry: the progress texts in order, the failure texts, the
// time-out of a synchronous dial and the connection state.
#include <windows.h>

#include <gtest/gtest.h>

#include "dial_fixture.h"

namespace {

using Dialling = DialTest;

const std::vector<DialEvent> kConnectingDial = {
    {L"Progress", L"Connecting..."},
    {L"Progress", L"Opening connection port"},
    {L"Progress", L"Dialing..."},
    {L"Progress", L"Device connected"},
    {L"Progress", L"All Devices connected"},
    {L"Progress", L"Authenticating"},
    {L"Progress", L"Authenticated"},
    {L"Progress", L"Connection established"},
    {L"Connected", L""},
};

TEST_F(Dialling, SynchronousDialReturnsOnceConnectedWithEveryStepTold) {
    CreateEntry(L"DvSync");
    EXPECT_EQ(State(), 25) << "no connection yet";
    ASSERT_EQ(Dial(L"DvSync", L"user", L"pw", L"dom"), S_OK);
    EXPECT_EQ(Events(), kConnectingDial);
    EXPECT_EQ(State(), 8192);
    EXPECT_EQ(ErrorText(), L"");
    LONG handle = 0;
    ASSERT_EQ(control_->get_Handle(&handle), S_OK);
    EXPECT_NE(handle, 0);
    EXPECT_EQ(ConnectionNames(), std::vector<std::wstring>{L"DvSync"});
}

TEST_F(Dialling, AsynchronousDialReturnsAtOnceAndTellsTheStepsAsTheyCome) {
    CreateEntry(L"DvAsync", {}, 20);
    ASSERT_EQ(control_->put_SyncDial(0), S_OK);
    ASSERT_EQ(Dial(L"DvAsync"), S_OK);
    EXPECT_EQ(Events(), Progress({L"Connecting..."}));
    EXPECT_NE(State(), 8192);
    ASSERT_TRUE(PumpUntil(L"Connected"));
    EXPECT_EQ(Events(), kConnectingDial);
    EXPECT_EQ(State(), 8192);
}

TEST_F(Dialling, AFailureReportedByThePlatformEndsTheDialWithItsText) {
    CreateEntry(L"DvNoAnswer", {L"0", L"1", L"2"}, 1, 678);
    ASSERT_EQ(Dial(L"DvNoAnswer"), S_OK);
    const std::vector<DialEvent> expected = {
        {L"Progress", L"Connecting..."},
        {L"Progress", L"Opening connection port"},
        {L"Progress", L"Dialing..."},
        {L"Error", L"[678] No answer detected. Check your destination and try again."},
        {L"Progress", L"Connection failed!"},
    };
    EXPECT_EQ(Events(), expected);
    EXPECT_EQ(ErrorText(), L"[678] No answer detected. Check your destination and try again.");
    EXPECT_EQ(State(), 25);
    EXPECT_TRUE(ConnectionNames().empty()) << "the failed connection was hung up";
}

TEST_F(Dialling, ARefusedDialGivesListedUnlistedAndOutOfRangeCodesTheirTexts) {
    struct Case {
        DWORD code;
        const wchar_t* text;
    };
    const Case cases[] = {
        {650, L"[650] The server is not responding."},
        {621, L"[621] Unspecified error."},
        {900, L"[900] Unspecified error."},
        {600, L"[600] Unspecified error."},
        {800, L"[800] Unable to establish VPN connection. Check server address and security "
              L"parameters."},
    };
    for (const Case& c : cases) {
        const std::wstring name = L"DvRefused" + std::to_wstring(c.code);
        CreateEntry(name, {}, 1, 0, c.code);
        ClearEvents();
        ASSERT_EQ(Dial(name.c_str()), S_OK);
        const std::vector<DialEvent> expected = {{L"Progress", L"Connecting..."},
                                                 {L"Error", c.text},
                                                 {L"Progress", L"Connection failed!"}};
        EXPECT_EQ(Events(), expected) << c.code;
        EXPECT_EQ(ErrorText(), c.text);
        EXPECT_EQ(State(), 25);
    }
}

TEST_F(Dialling, StatesWithoutATextOfTheirOwnAreUnspecified) {
    CreateEntry(L"DvOddStates", {L"18", L"4099", L"8192"});
    ASSERT_EQ(Dial(L"DvOddStates"), S_OK);
    const std::vector<DialEvent> expected = {
        {L"Progress", L"Connecting..."},
        {L"Progress", L"Unspecified error 18"},
        {L"Progress", L"Password Expired"},
        {L"Progress", L"Connection established"},
        {L"Connected", L""},
    };
    EXPECT_EQ(Events(), expected);
}

TEST_F(Dialling, ASynchronousDialWithNoTimeToWaitTimesOutAtOnce) {
    CreateEntry(L"DvTimeout", {}, 20);
    ASSERT_EQ(control_->put_SyncTimeout(0), S_OK);
    ASSERT_EQ(Dial(L"DvTimeout"), S_OK);
    const std::vector<DialEvent> expected = {{L"Progress", L"Connecting..."},
                                             {L"Error", L"[900] Dial timeout."},
                                             {L"Progress", L"Connection failed!"}};
    EXPECT_EQ(Events(), expected);
    EXPECT_EQ(ErrorText(), L"[900] Dial timeout.");
    EXPECT_EQ(State(), 25);
    EXPECT_TRUE(ConnectionNames().empty());
    // Nothing of the abandoned dial arrives later.
    ClearEvents();
    EXPECT_FALSE(PumpUntil(L"Progress", 200));
}

TEST_F(Dialling, NamesThatCannotBeDialled) {
    EXPECT_EQ(Dial(L""), E_INVALIDARG);
    EXPECT_EQ(control_->Dial(nullptr, nullptr, nullptr, nullptr), E_INVALIDARG);
    EXPECT_TRUE(Events().empty());

    ASSERT_EQ(Dial(L"DvNotInThePhonebook"), S_OK);
    const std::vector<DialEvent> expected = {{L"Error", L"Invalid EntryName."},
                                             {L"Progress", L"Connection failed!"}};
    EXPECT_EQ(Events(), expected);
    EXPECT_EQ(ErrorText(), L"Invalid EntryName.");

    // The error text stays until a dial gets past the look-up.
    CreateEntry(L"DvAfterFailure");
    ASSERT_EQ(Dial(L"DvAfterFailure"), S_OK);
    EXPECT_EQ(ErrorText(), L"");
}

TEST_F(Dialling, ANewDialHangsUpTheConnectionBeforeIt) {
    CreateEntry(L"DvFirst");
    CreateEntry(L"DvSecond");
    ASSERT_EQ(Dial(L"DvFirst"), S_OK);
    ASSERT_EQ(ConnectionNames(), std::vector<std::wstring>{L"DvFirst"});
    ClearEvents();
    ASSERT_EQ(Dial(L"DvSecond"), S_OK);
    EXPECT_EQ(Events().front(), (DialEvent{L"Progress", L"Connecting..."}));
    EXPECT_EQ(ConnectionNames(), std::vector<std::wstring>{L"DvSecond"});
}

} // namespace
