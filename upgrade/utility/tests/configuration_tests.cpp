#include "configuration.h"
#include "utility_fixture.h"

using namespace utiltest;

namespace {

class ConfigurationTest : public UtilityTest {
protected:
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        common::UniqueKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, q4mutil::kConfigurationKey, 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size);
    }
};

} // namespace

TEST_F(ConfigurationTest, MissingKeyOrValueLeavesTheDestinationAlone) {
    std::wstring value = L"unchanged";
    EXPECT_FALSE(q4mutil::ReadConfiguration(L"FlashDriver", value));
    EXPECT_EQ(value, L"unchanged");
    SetConfiguration(L"Default", L"COM2:");
    EXPECT_FALSE(q4mutil::ReadConfiguration(L"FlashDriver", value));
    EXPECT_EQ(value, L"unchanged");
    EXPECT_TRUE(q4mutil::ReadConfiguration(L"Default", value));
    EXPECT_EQ(value, L"COM2:");
}

TEST_F(ConfigurationTest, ValueOfAnyTypeIsReadAsText) {
    const wchar_t text[] = {L'C', L'O', L'M', L'3'}; // stored without its terminator
    SetRaw(L"Default", REG_BINARY, text, sizeof(text));
    std::wstring value;
    ASSERT_TRUE(q4mutil::ReadConfiguration(L"Default", value));
    EXPECT_EQ(value, L"COM3");
}

TEST_F(ConfigurationTest, ValueLongerThanTheBufferCountsAsNotFound) {
    const std::wstring longPath(200, L'p');
    SetConfiguration(L"FirmwareImage", longPath);
    std::wstring value = L"default";
    EXPECT_FALSE(q4mutil::ReadConfiguration(L"FirmwareImage", value));
    EXPECT_EQ(value, L"default");
    const std::wstring longest(129, L'q');
    SetConfiguration(L"FirmwareImage", longest);
    EXPECT_TRUE(q4mutil::ReadConfiguration(L"FirmwareImage", value));
    EXPECT_EQ(value, longest);
}
