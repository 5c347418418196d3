// The common device functions as a script sees them.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "cepower.h"
#include "common/com.h"
#include "deviceapi_server.h"

namespace {

class CoreObject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
        ASSERT_EQ(::CoCreateInstance(CLSID_Core, nullptr, CLSCTX_INPROC_SERVER, IID_ICore,
                                     reinterpret_cast<void**>(core_.put())),
                  S_OK);
    }
    INT Compare(const wchar_t* first, const wchar_t* second, bool ignoreSymbols) {
        common::UniqueBstr a(::SysAllocString(first));
        common::UniqueBstr b(::SysAllocString(second));
        INT result = -1;
        EXPECT_EQ(core_->CaselessCompareString(
                      a.get(), b.get(), ignoreSymbols ? VARIANT_TRUE : VARIANT_FALSE, &result),
                  S_OK);
        return result;
    }
    static std::wstring CommandLine(const std::wstring& arguments) {
        return L"cmd.exe /c " + arguments;
    }
    static std::wstring Cmd() {
        wchar_t path[MAX_PATH] = {};
        ::GetSystemDirectoryW(path, MAX_PATH);
        return std::wstring(path) + L"\\cmd.exe";
    }
    common::ComApartment apartment_;
    common::ComPtr<ICore> core_;
};

TEST_F(CoreObject, CaselessCompareOrdersIgnoringCaseAndOptionallySymbols) {
    EXPECT_EQ(Compare(L"abc", L"ABC", false), 2);
    EXPECT_EQ(Compare(L"abc", L"abd", false), 1);
    EXPECT_EQ(Compare(L"abd", L"ABC", false), 3);
    EXPECT_EQ(Compare(L"a-b", L"ab", true), 2);
    EXPECT_NE(Compare(L"a-b", L"ab", false), 2);
    // The terminating zero takes part: a prefix sorts first.
    EXPECT_EQ(Compare(L"ab", L"abc", false), 1);
}

TEST_F(CoreObject, DoEventsHandlesExactlyOneWaitingMessage) {
    MSG drained;
    while (::PeekMessageW(&drained, nullptr, 0, 0, PM_REMOVE)) {
    }
    const DWORD thread = ::GetCurrentThreadId();
    for (UINT i = 0; i < 3; ++i) {
        ASSERT_TRUE(::PostThreadMessageW(thread, WM_APP + i, 0, 0));
    }
    ASSERT_EQ(core_->DoEvents(), S_OK);
    UINT left = 0;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        EXPECT_NE(message.message, static_cast<UINT>(WM_APP)) << "the first was handled";
        ++left;
    }
    EXPECT_EQ(left, 2u);
    EXPECT_EQ(core_->DoEvents(), S_OK) << "nothing waiting: returns at once";
}

TEST_F(CoreObject, RunAndWaitReturnsAfterTheChildEndsAndFailsAtOnceForAMissingProgram) {
    common::UniqueBstr missing(::SysAllocString(L"C:\\no such program.exe"));
    common::UniqueBstr none(::SysAllocString(L""));
    LONG id = 0;
    EXPECT_EQ(core_->RunAndWait(missing.get(), none.get(), &id), E_FAIL);
    EXPECT_EQ(core_->RunAndReturn(missing.get(), none.get(), &id), E_FAIL);

    const wchar_t marker[] = L"C:\\core_run_and_wait.txt";
    ::DeleteFileW(marker);
    common::UniqueBstr program(::SysAllocString(Cmd().c_str()));
    // The child writes the file only after a pause, so it exists only if
    // RunAndWait waited for the child's end.
    common::UniqueBstr arguments(::SysAllocString(
        CommandLine(L"ping -n 2 127.0.0.1 >NUL & echo done> C:\\core_run_and_wait.txt").c_str()));
    ASSERT_EQ(core_->RunAndWait(program.get(), arguments.get(), &id), S_OK);
    EXPECT_NE(::GetFileAttributesW(marker), INVALID_FILE_ATTRIBUTES);
    ::DeleteFileW(marker);
}

TEST_F(CoreObject, RunAndReturnGivesTheNewProcessIdentifier) {
    common::UniqueBstr program(::SysAllocString(Cmd().c_str()));
    common::UniqueBstr arguments(::SysAllocString(CommandLine(L"exit 7").c_str()));
    LONG id = 0;
    ASSERT_EQ(core_->RunAndReturn(program.get(), arguments.get(), &id), S_OK);
    ASSERT_NE(id, 0);
    HANDLE child = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                 static_cast<DWORD>(id));
    if (child != nullptr) { // it may already have ended and gone
        EXPECT_EQ(::WaitForSingleObject(child, 30000), WAIT_OBJECT_0);
        DWORD code = 0;
        ::GetExitCodeProcess(child, &code);
        EXPECT_EQ(code, 7u);
        ::CloseHandle(child);
    }
}

TEST_F(CoreObject, SoftResetAsksTheSystemToRebootAndTextsComeFromTheSystem) {
    TerminalClearPowerCounts();
    ASSERT_EQ(core_->SoftReset(), S_OK);
    TerminalPowerCounts counts = {};
    TerminalGetPowerCounts(&counts);
    EXPECT_EQ(counts.rebootRequests, 1u);

    common::UniqueBstr oem;
    ASSERT_EQ(core_->get_OEMInfo(oem.put()), S_OK);
    wchar_t expected[260] = {};
    ASSERT_TRUE(CeSystemParametersInfo(SPI_GETOEMINFO, sizeof expected, expected, 0));
    EXPECT_EQ(oem.view(), expected);
    common::UniqueBstr platform;
    ASSERT_EQ(core_->get_PlatformType(platform.put()), S_OK);
    EXPECT_FALSE(platform.view().empty());

    LONG major = 0;
    ASSERT_EQ(core_->get_VersionMajor(&major), S_OK);
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ::GetVersionExW(&version);
    EXPECT_EQ(major, static_cast<LONG>(version.dwMajorVersion));
    LONG platformId = 0;
    ASSERT_EQ(core_->get_PlatformID(&platformId), S_OK);
    EXPECT_EQ(platformId, static_cast<LONG>(version.dwPlatformId));
}

TEST_F(CoreObject, DatesAreTheSystemsTimes) {
    SYSTEMTIME before = {};
    ::GetSystemTime(&before);
    DATE utc = 0;
    ASSERT_EQ(core_->GetSystemDate(&utc), S_OK);
    DATE local = 0;
    ASSERT_EQ(core_->GetLocalTime(&local), S_OK);
    SYSTEMTIME read = {};
    ASSERT_TRUE(::VariantTimeToSystemTime(utc, &read));
    // Same day and hour, barring a rollover between the two reads.
    EXPECT_TRUE(read.wYear == before.wYear || read.wMonth != before.wMonth ||
                read.wHour != before.wHour);
    EXPECT_GT(utc, 40000.0);
    EXPECT_GT(local, 40000.0);
}

} // namespace
