// HVTLogException and CRegistry as a component uses them: linked to the
// library, recording into the log of this process.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "CRegistry.h"
#include "HVTEventLog.h"
#include "HVTLogException.h"

namespace {

const wchar_t kTestKey[] = L"Software\\Harvanti\\EventLogHelperTests";

// Records every class while a case runs and puts the stored filter back.
class Helpers : public ::testing::Test {
protected:
    void SetUp() override {
        DWORD size = sizeof(saved_);
        hadFilter_ = ::RegGetValueW(HKEY_LOCAL_MACHINE, hvt::EventLogKey, hvt::EventFilterValue,
                                    RRF_RT_REG_BINARY, nullptr, &saved_, &size) == ERROR_SUCCESS &&
                     size == sizeof(saved_);
        ASSERT_EQ(HVTSetEventFilter(1, nullptr, 0, 0x0F, nullptr, 0), hvt::EVTLOG_SUCCESS);
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kTestKey);
    }
    void TearDown() override {
        ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kTestKey);
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, hvt::EventLogKey, 0, KEY_WRITE, &key) ==
            ERROR_SUCCESS) {
            if (hadFilter_) {
                ::RegSetValueExW(key, hvt::EventFilterValue, 0, REG_BINARY,
                                 reinterpret_cast<const BYTE*>(&saved_), sizeof(saved_));
            } else {
                ::RegDeleteValueW(key, hvt::EventFilterValue);
            }
            ::RegCloseKey(key);
        }
    }

    // The newest record of the log; code 0xFFFFFFFF when the log is empty.
    static HVTEventRecord Newest() {
        HVTEventRecord newest{};
        newest.code = 0xFFFFFFFF;
        HVTEventRecord chunk[64];
        BOOL restart = TRUE;
        DWORD status = 0;
        WORD n = 0;
        while ((n = HVTGetEventLog(chunk, 64, restart, 0, &status)) > 0) {
            newest = chunk[n - 1];
            restart = FALSE;
        }
        return newest;
    }

    static void ExpectNewest(DWORD code, DWORD parameter1, DWORD parameter2) {
        HVTEventRecord newest = Newest();
        EXPECT_EQ(newest.code, code);
        EXPECT_EQ(newest.parameter1, parameter1);
        EXPECT_EQ(newest.parameter2, parameter2);
        EXPECT_EQ(newest.threadId, ::GetCurrentThreadId());
    }

    static std::optional<hvt::StructuredException> Raised(void (*action)()) {
        try {
            action();
        } catch (const hvt::StructuredException& exception) {
            return exception;
        }
        return std::nullopt;
    }

private:
    HVTFilterBlock saved_{};
    bool hadFilter_ = false;
};

TEST_F(Helpers, LogExceptionRecordsTheCodeAndAtMostTwoParameters) {
    struct Case {
        hvt::StructuredException exception;
        DWORD parameter1;
        DWORD parameter2;
    };
    const Case cases[] = {
        {hvt::StructuredException(0xC0000005), 0, 0},
        {hvt::StructuredException(0xC12E0038, {0xC12E0038}), 0xC12E0038, 0},
        {hvt::StructuredException(0xC12E0039, {0x1234, 18}), 0x1234, 18},
        // With more than two parameters only the first is recorded.
        {hvt::StructuredException(0xC1990001, {7, 8, 9}), 7, 0},
    };
    for (const Case& c : cases) {
        DWORD code = 0;
        EXPECT_EQ(HVTLogException(c.exception, &code), EXCEPTION_EXECUTE_HANDLER);
        EXPECT_EQ(code, c.exception.code());
        ExpectNewest(c.exception.code(), c.parameter1, c.parameter2);
    }
}

TEST_F(Helpers, LogExceptionTakesTheSystemsExceptionRecord) {
    EXCEPTION_RECORD record{};
    record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    record.NumberParameters = 2;
    record.ExceptionInformation[0] = 1;
    record.ExceptionInformation[1] = 0x40;
    EXCEPTION_POINTERS information{&record, nullptr};
    DWORD code = 0;
    EXPECT_EQ(HVTLogException(&information, &code), EXCEPTION_EXECUTE_HANDLER);
    EXPECT_EQ(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    ExpectNewest(EXCEPTION_ACCESS_VIOLATION, 1, 0x40);
}

TEST_F(Helpers, RegistryOpenOfAMissingKeyRaisesWithTheSystemError) {
    auto raised = Raised([] {
        CRegistry key(true);
        key.Open(HKEY_LOCAL_MACHINE, kTestKey);
    });
    ASSERT_TRUE(raised.has_value());
    EXPECT_EQ(raised->code(), hvt::REGISTRY_OPEN_FAILED);
    ASSERT_EQ(raised->parameterCount(), 1u);
    EXPECT_EQ(raised->parameter(0), static_cast<ULONG_PTR>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Helpers, RegistryWithoutRaisingKeepsTheFailureCode) {
    CRegistry key(false);
    EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, kTestKey));
    EXPECT_FALSE(key.IsOpened());
    EXPECT_EQ(key.ErrorCode(), hvt::REGISTRY_OPEN_FAILED);
    EXPECT_EQ(key.SystemError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(key.Create(HKEY_LOCAL_MACHINE, kTestKey));
    EXPECT_TRUE(key.IsOpened());
    DWORD value = 0;
    EXPECT_FALSE(key.QueryDword(L"Missing", &value));
    EXPECT_EQ(key.ErrorCode(), hvt::REGISTRY_QUERY_FAILED);
}

TEST_F(Helpers, RegistryDwordQueriesRaiseForMissingAndWrongValues) {
    CRegistry key(true);
    key.Create(HKEY_LOCAL_MACHINE, kTestKey);
    const DWORD five = 5;
    const wchar_t text[] = L"5";
    ::RegSetValueExW(key.Key(), L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&five),
                     sizeof(five));
    ::RegSetValueExW(key.Key(), L"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                     sizeof(text));
    DWORD value = 0;
    EXPECT_TRUE(key.QueryDword(L"Number", &value));
    EXPECT_EQ(value, 5u);

    try {
        key.QueryDword(L"Text", &value);
        ADD_FAILURE() << "a text value was read as a number";
    } catch (const hvt::StructuredException& exception) {
        EXPECT_EQ(exception.code(), hvt::REGISTRY_WRONG_TYPE);
    }
    try {
        key.QueryDword(L"Missing", &value);
        ADD_FAILURE() << "a missing value was read";
    } catch (const hvt::StructuredException& exception) {
        EXPECT_EQ(exception.code(), hvt::REGISTRY_QUERY_FAILED);
        EXPECT_EQ(exception.parameter(0), static_cast<ULONG_PTR>(ERROR_FILE_NOT_FOUND));
    }
    EXPECT_EQ(value, 5u);
}

TEST_F(Helpers, RegistryBinaryValuesRoundTripAndFailuresAreLogged) {
    CRegistry key(true);
    key.Create(HKEY_LOCAL_MACHINE, kTestKey);
    const BYTE written[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_TRUE(key.SetBinary(L"Block", written, sizeof(written)));
    BYTE read[6] = {};
    EXPECT_TRUE(key.QueryBinary(L"Block", read, sizeof(read)));
    EXPECT_EQ(std::string(read, read + 6), std::string(written, written + 6));

    BYTE tooLarge[8] = {};
    EXPECT_FALSE(key.QueryBinary(L"Block", tooLarge, sizeof(tooLarge)));
    ExpectNewest(hvt::REGISTRY_WRONG_TYPE, REG_BINARY, sizeof(written));
    EXPECT_EQ(tooLarge[0], 0) << "a value of the wrong size must not be copied";

    EXPECT_FALSE(key.QueryBinary(L"Missing", read, sizeof(read)));
    ExpectNewest(hvt::REGISTRY_QUERY_FAILED, ERROR_FILE_NOT_FOUND, 0);

    CRegistry readOnly(true);
    readOnly.Open(HKEY_LOCAL_MACHINE, kTestKey, KEY_READ);
    EXPECT_FALSE(readOnly.SetBinary(L"Block", written, sizeof(written)));
    EXPECT_EQ(Newest().code, hvt::REGISTRY_SET_FAILED);
}

} // namespace
