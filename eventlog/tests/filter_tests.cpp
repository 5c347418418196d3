// The filter: which events are recorded, how it is set and read, and how it
// is kept in the registry for the next first process.
#include "fresh_log.h"

#include <cstring>

namespace {

using evtest::EventLogApi;
using evtest::FilterValue;
using evtest::StoredFilter;

constexpr DWORD kUpgradeInfo = 0x42BB0005;
constexpr DWORD kUpgradeError = 0xC2BB002D;
constexpr DWORD kBarcodeInfo = 0x41990003;
constexpr DWORD kBarcodeWarning = 0x81990004;

struct ReadFilter {
    DWORD status = 0;
    WORD entryCount = 0xFFFF;
    WORD mask = 0xFFFF;
    WORD codeCount = 0xFFFF;
    HVTFacilityFilter entries[10]{};
    DWORD codes[20]{};
};

ReadFilter GetFilter(const EventLogApi& api) {
    ReadFilter f;
    f.status =
        api.GetEventFilter(1, f.entries, 10, &f.entryCount, &f.mask, f.codes, 20, &f.codeCount);
    return f;
}

HVTFilterBlock ValidBlock() {
    HVTFilterBlock block{};
    block.facilities[0] = {0x199, 0x0F};
    block.facilityCount = 1;
    block.defaultClassMask = 0x08;
    block.codes[0] = kUpgradeInfo;
    block.codeCount = 1;
    std::wcscpy(block.valueName, L"EventFilter");
    block.traceCriteria = hvt::DefaultTraceCriteria;
    return block;
}

// After a bad stored filter the default is in force and written back.
void ExpectDefaultFilterInForce(const EventLogApi& api) {
    ReadFilter f = GetFilter(api);
    EXPECT_EQ(f.status, hvt::EVTLOG_SUCCESS);
    EXPECT_EQ(f.entryCount, 0);
    EXPECT_EQ(f.mask, 0x0C);
    EXPECT_EQ(f.codeCount, 0);
    api.LogEvent(kBarcodeInfo, 0, 0);
    api.LogEvent(kUpgradeError, 0, 0);
    EXPECT_EQ(api.ReadCodes(), (std::vector<DWORD>{kUpgradeError}));

    std::optional<evtest::RegistryValue> stored = evtest::ReadConfig(hvt::EventFilterValue);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_BINARY));
    ASSERT_EQ(stored->bytes.size(), sizeof(HVTFilterBlock));
    HVTFilterBlock block = StoredFilter();
    EXPECT_EQ(block.facilityCount, 0);
    EXPECT_EQ(block.codeCount, 0);
    EXPECT_EQ(block.defaultClassMask, 0x0C);
    EXPECT_STREQ(block.valueName, L"EventFilter");
}

class Filter : public evtest::FreshLog {};

TEST_F(Filter, ByDefaultOnlyWarningsAndErrorsAreRecorded) {
    InFreshProcess([](const EventLogApi& api) {
        for (DWORD code :
             {kUpgradeInfo, DWORD{0x02BB0001}, DWORD{0}, kBarcodeWarning, kUpgradeError}) {
            EXPECT_EQ(api.LogEvent(code, 0, 0), hvt::EVTLOG_SUCCESS);
        }
        EXPECT_EQ(api.ReadCodes(), (std::vector<DWORD>{kBarcodeWarning, kUpgradeError}));
    });
}

TEST_F(Filter, TheFirstProcessWritesTheDefaultFilterToTheRegistry) {
    InFreshProcess([](const EventLogApi&) {
        HVTFilterBlock block = StoredFilter();
        EXPECT_EQ(block.defaultClassMask, 0x0C);
        EXPECT_STREQ(block.valueName, L"EventFilter");
        EXPECT_EQ(block.traceCriteria, hvt::DefaultTraceCriteria);
        EXPECT_EQ(block.traceType, 0u);
        EXPECT_EQ(block.queueSize, 400);
    });
}

TEST_F(Filter, AFacilityEntryDecidesForItsFacility) {
    InFreshProcess([](const EventLogApi& api) {
        api.SetFilter(0x0C, {{0x2BB, 0x02}});
        for (DWORD code : {kUpgradeInfo, kUpgradeError, kBarcodeInfo, kBarcodeWarning}) {
            api.LogEvent(code, 0, 0);
        }
        // The facility's own mask blocks its errors; others follow the default mask.
        EXPECT_EQ(api.ReadCodes(), (std::vector<DWORD>{kUpgradeInfo, kBarcodeWarning}));
    });
}

TEST_F(Filter, AnExplicitCodeIsRecordedWhateverTheMasksSay) {
    InFreshProcess([](const EventLogApi& api) {
        api.SetFilter(0x00, {{0x2BB, 0x02}}, {kUpgradeError, kBarcodeInfo});
        for (DWORD code : {kUpgradeInfo, kUpgradeError, kBarcodeInfo, kBarcodeWarning}) {
            api.LogEvent(code, 0, 0);
        }
        EXPECT_EQ(api.ReadCodes(), (std::vector<DWORD>{kUpgradeInfo, kUpgradeError, kBarcodeInfo}));
    });
}

TEST_F(Filter, TheFirstMatchingEntryDecides) {
    InFreshProcess([](const EventLogApi& api) {
        api.SetFilter(0x0F, {{0x199, 0x00}, {0x199, 0x0F}});
        api.LogEvent(kBarcodeWarning, 0, 0);
        api.LogEvent(kUpgradeInfo, 0, 0);
        EXPECT_EQ(api.ReadCodes(), (std::vector<DWORD>{kUpgradeInfo}));
    });
}

TEST_F(Filter, SetEventFilterRefusesBadFiltersAndKeepsTheOldOne) {
    InFreshProcess([](const EventLogApi& api) {
        api.SetFilter(0x0C, {{0x2BB, 0x02}}, {kUpgradeError});
        std::vector<HVTFacilityFilter> eleven(11, HVTFacilityFilter{0x100, 0x01});
        std::vector<DWORD> codes(21, kUpgradeInfo);
        const HVTFacilityFilter badFacility[] = {{0x1000, 0x01}};
        const HVTFacilityFilter badMask[] = {{0x199, 0x10}};
        EXPECT_EQ(api.SetEventFilter(1, eleven.data(), 11, 0x0C, nullptr, 0),
                  hvt::EVTLOG_TOO_MANY_FACILITIES);
        EXPECT_EQ(api.SetEventFilter(2, nullptr, 0, 0x0C, nullptr, 0), hvt::EVTLOG_BAD_VERSION);
        EXPECT_EQ(api.SetEventFilter(1, nullptr, 0, 0x10, nullptr, 0), hvt::EVTLOG_BAD_CLASS_MASK);
        EXPECT_EQ(api.SetEventFilter(1, nullptr, 0, 0x0C, codes.data(), 21),
                  hvt::EVTLOG_TOO_MANY_CODES);
        EXPECT_EQ(api.SetEventFilter(1, badFacility, 1, 0x0C, nullptr, 0),
                  hvt::EVTLOG_BAD_FACILITY);
        EXPECT_EQ(api.SetEventFilter(1, badMask, 1, 0x0C, nullptr, 0), hvt::EVTLOG_BAD_CLASS_MASK);
        // Tables that are missing but said to hold entries or codes.
        const HVTFacilityFilter good[] = {{0x199, 0x0F}};
        EXPECT_EQ(api.SetEventFilter(1, nullptr, 1, 0x0C, nullptr, 0),
                  static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
        EXPECT_EQ(api.SetEventFilter(1, good, 1, 0x08, nullptr, 2),
                  static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));

        ReadFilter f = GetFilter(api);
        EXPECT_EQ(f.status, hvt::EVTLOG_SUCCESS);
        EXPECT_EQ(f.mask, 0x0C);
        ASSERT_EQ(f.entryCount, 1);
        EXPECT_EQ(f.entries[0].facility, 0x2BB);
        EXPECT_EQ(f.entries[0].classMask, 0x02);
        ASSERT_EQ(f.codeCount, 1);
        EXPECT_EQ(f.codes[0], kUpgradeError);
        EXPECT_EQ(StoredFilter().facilityCount, 1);
    });
}

TEST_F(Filter, GetEventFilterNeedsRoomForEveryEntryAndCode) {
    InFreshProcess([](const EventLogApi& api) {
        api.SetFilter(0x0C, {{0x2BB, 0x02}, {0x199, 0x0F}}, {kUpgradeError});
        HVTFacilityFilter entries[2];
        DWORD codes[1];
        WORD entryCount = 0, mask = 0, codeCount = 0;
        EXPECT_EQ(api.GetEventFilter(1, entries, 1, &entryCount, &mask, codes, 1, &codeCount),
                  hvt::EVTLOG_ENTRY_BUFFER_TOO_SMALL);
        EXPECT_EQ(api.GetEventFilter(1, entries, 2, &entryCount, &mask, codes, 0, &codeCount),
                  hvt::EVTLOG_CODE_BUFFER_TOO_SMALL);
        EXPECT_EQ(api.GetEventFilter(2, entries, 2, &entryCount, &mask, codes, 1, &codeCount),
                  hvt::EVTLOG_BAD_VERSION);
        EXPECT_EQ(api.GetEventFilter(1, entries, 2, &entryCount, &mask, codes, 1, &codeCount),
                  hvt::EVTLOG_SUCCESS);
        EXPECT_EQ(entryCount, 2);
        EXPECT_EQ(entries[1].facility, 0x199);
        EXPECT_EQ(codeCount, 1);
    });
}

TEST_F(Filter, ASetFilterIsPickedUpByTheNextFirstProcess) {
    InFreshProcess([](const EventLogApi& api) {
        api.SetFilter(0x01, {{0x2BB, 0x02}}, {kBarcodeWarning});
        api.SetTracePointCriteria(0xC2BB0001, 2);
        api.SetFilter(0x01, {{0x2BB, 0x02}}, {kBarcodeWarning}); // persists the trace point too
    });
    InFreshProcess([](const EventLogApi& api) {
        ReadFilter f = GetFilter(api);
        EXPECT_EQ(f.mask, 0x01);
        ASSERT_EQ(f.entryCount, 1);
        EXPECT_EQ(f.entries[0].facility, 0x2BB);
        ASSERT_EQ(f.codeCount, 1);
        EXPECT_EQ(f.codes[0], kBarcodeWarning);
        DWORD criteria = 0, type = 0;
        EXPECT_EQ(api.GetTracePointCriteria(&criteria, &type), 1u);
        EXPECT_EQ(criteria, 0xC2BB0001u);
        EXPECT_EQ(type, 2u);
        api.LogEvent(kUpgradeInfo, 0, 0);
        api.LogEvent(kUpgradeError, 0, 0);
        EXPECT_EQ(api.ReadCodes(), (std::vector<DWORD>{kUpgradeInfo}));
    });
}

TEST_F(Filter, AStoredFilterIsTakenAsItStands) {
    ConfigureFilter(FilterValue(ValidBlock()));
    InFreshProcess([](const EventLogApi& api) {
        ReadFilter f = GetFilter(api);
        EXPECT_EQ(f.mask, 0x08);
        EXPECT_EQ(f.entryCount, 1);
        EXPECT_EQ(f.codeCount, 1);
        api.LogEvent(kBarcodeInfo, 0, 0);
        api.LogEvent(kUpgradeInfo, 0, 0);
        api.LogEvent(0x82BB0001, 0, 0);
        EXPECT_EQ(api.ReadCodes(), (std::vector<DWORD>{kBarcodeInfo, kUpgradeInfo}));
    });
}

TEST_F(Filter, AStoredFilterWithTooManyEntriesGivesTheDefault) {
    HVTFilterBlock block = ValidBlock();
    block.facilityCount = 11;
    ConfigureFilter(FilterValue(block));
    InFreshProcess(ExpectDefaultFilterInForce);
}

TEST_F(Filter, AStoredFilterWithTooManyCodesGivesTheDefault) {
    HVTFilterBlock block = ValidBlock();
    block.codeCount = 21;
    ConfigureFilter(FilterValue(block));
    InFreshProcess(ExpectDefaultFilterInForce);
}

TEST_F(Filter, AStoredFilterOfTheWrongSizeGivesTheDefault) {
    evtest::RegistryValue value = FilterValue(ValidBlock());
    value.bytes.resize(100);
    ConfigureFilter(value);
    InFreshProcess(ExpectDefaultFilterInForce);
}

TEST_F(Filter, AStoredFilterOfTheWrongTypeGivesTheDefault) {
    evtest::RegistryValue value = FilterValue(ValidBlock());
    value.type = REG_SZ;
    ConfigureFilter(value);
    InFreshProcess(ExpectDefaultFilterInForce);
}

} // namespace
