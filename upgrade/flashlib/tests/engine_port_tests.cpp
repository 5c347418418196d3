// The engine's port set-up and the conversion of the callers' wide paths.
#include <gtest/gtest.h>

#include <string>

#include "common/handle.h"
#include "engine_port.h"

TEST(EnginePort, PortIsSetUpForTheDownload) {
    common::UniqueFile port(OpenEnginePort(L"COM4:"));
    ASSERT_TRUE(port) << ::GetLastError();
    DCB odd{};
    odd.DCBlength = sizeof(odd);
    ASSERT_TRUE(::GetCommState(port.get(), &odd));
    odd.BaudRate = CBR_9600;
    odd.StopBits = TWOSTOPBITS;
    ASSERT_TRUE(::SetCommState(port.get(), &odd));

    DCB applied{};
    COMMTIMEOUTS timeouts{};
    ConfigureEnginePort(port.get(), &applied, &timeouts);
    EXPECT_EQ(applied.BaudRate, static_cast<DWORD>(CBR_38400));
    EXPECT_EQ(applied.ByteSize, 8);
    EXPECT_EQ(applied.Parity, NOPARITY);
    EXPECT_EQ(applied.StopBits, ONESTOPBIT);
    EXPECT_FALSE(applied.fOutxCtsFlow);
    EXPECT_FALSE(applied.fOutX);
    EXPECT_FALSE(applied.fInX);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 3000u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 3000u);
    EXPECT_EQ(timeouts.ReadIntervalTimeout, 0u);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 0u);
}

TEST(EnginePort, NamelessPortCannotBeOpened) {
    EXPECT_EQ(OpenEnginePort(nullptr), INVALID_HANDLE_VALUE);
}

TEST(EnginePort, PathsConvertToAtMost255Characters) {
    EXPECT_STREQ(ToMultibyte(L"\\Storage Card\\HVT\\Q4M\\q4m.bin").c_str(),
                 "\\Storage Card\\HVT\\Q4M\\q4m.bin");
    EXPECT_STREQ(ToMultibyte(nullptr).c_str(), "");
    std::wstring longest(255, L'a');
    EXPECT_EQ(std::string(ToMultibyte(longest.c_str()).c_str()), std::string(255, 'a'));
    // One more character does not fit: the path names no file rather than
    // a cut one.
    std::wstring tooLong(256, L'a');
    EXPECT_STREQ(ToMultibyte(tooLong.c_str()).c_str(), "");
}
