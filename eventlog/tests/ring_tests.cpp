// The ring: record layout, its size, wrapping, clearing and read cursors.
#include "fresh_log.h"

#include <tuple>

#include "testsupport/child.h"

namespace {

using evtest::DwordValue;
using evtest::EventLogApi;

constexpr DWORD kError = 0xC2BB002D;

auto TimeOf(const SYSTEMTIME& t) {
    return std::make_tuple(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

auto TimeOf(const HVTEventRecord& r) {
    return std::make_tuple(static_cast<WORD>(1900 + r.year), static_cast<WORD>(r.monthWeekday >> 4),
                           static_cast<WORD>(r.day), static_cast<WORD>(r.hour),
                           static_cast<WORD>(r.minute), static_cast<WORD>(r.second));
}

// Logs error events 1..count (code kError + i) and returns 0.
int LogErrors(const std::vector<std::wstring>& args) {
    EventLogApi api;
    if (!api.loaded()) {
        return 2;
    }
    const DWORD count = std::stoul(args.at(0));
    for (DWORD i = 1; i <= count; ++i) {
        api.LogEvent(kError + i, i, 0);
    }
    return 0;
}
testsupport::ChildRegistration logErrors(L"log-errors", LogErrors);

// Reads what this new process's cursor sees (it starts at the oldest record).
int CountRecords(const std::vector<std::wstring>&) {
    EventLogApi api;
    return api.loaded() ? static_cast<int>(api.Read(false).size()) : -1;
}
testsupport::ChildRegistration countRecords(L"count-records", CountRecords);

class Ring : public evtest::FreshLog {};

TEST_F(Ring, ARecordCarriesCodeParametersThreadAndLocalTime) {
    InFreshProcess([](const EventLogApi& api) {
        SYSTEMTIME before;
        ::GetLocalTime(&before);
        EXPECT_EQ(api.LogEvent(kError, 0x11223344, 0x55667788), hvt::EVTLOG_SUCCESS);
        SYSTEMTIME after;
        ::GetLocalTime(&after);

        std::vector<HVTEventRecord> records = api.Read();
        ASSERT_EQ(records.size(), 1u);
        const HVTEventRecord& record = records[0];
        EXPECT_EQ(record.code, kError);
        EXPECT_EQ(record.parameter1, 0x11223344u);
        EXPECT_EQ(record.parameter2, 0x55667788u);
        EXPECT_EQ(record.threadId, ::GetCurrentThreadId());
        EXPECT_LE(TimeOf(before), TimeOf(record));
        EXPECT_LE(TimeOf(record), TimeOf(after));
        EXPECT_EQ(record.year, static_cast<BYTE>(before.wYear - 1900));
        if (before.wDay == after.wDay) {
            EXPECT_EQ(record.monthWeekday & 0x0F, before.wDayOfWeek);
        }
    });
}

TEST_F(Ring, AFullRingKeepsTheNewestRecordsOldestFirst) {
    ConfigureQueueSize(DwordValue(3));
    InFreshProcess([](const EventLogApi& api) {
        for (DWORD i = 1; i <= 5; ++i) {
            api.LogEvent(kError + i, i, 0);
        }
        EXPECT_EQ(api.ReadCodes(true), (std::vector<DWORD>{kError + 3, kError + 4, kError + 5}));
        EXPECT_TRUE(api.ReadCodes(false).empty());

        // Later events continue from the cursor, across the end of the slots.
        api.LogEvent(kError + 6, 6, 0);
        api.LogEvent(kError + 7, 7, 0);
        EXPECT_EQ(api.ReadCodes(false), (std::vector<DWORD>{kError + 6, kError + 7}));
        EXPECT_EQ(api.ReadCodes(true), (std::vector<DWORD>{kError + 5, kError + 6, kError + 7}));
    });
}

TEST_F(Ring, ReadingStopsAtTheMaximumAndGoesOnFromThere) {
    InFreshProcess([](const EventLogApi& api) {
        for (DWORD i = 1; i <= 5; ++i) {
            api.LogEvent(kError + i, i, 0);
        }
        HVTEventRecord records[5];
        DWORD status = 0;
        ASSERT_EQ(api.GetEventLog(records, 2, TRUE, 0, &status), 2);
        EXPECT_EQ(status, hvt::EVTLOG_SUCCESS);
        EXPECT_EQ(records[1].code, kError + 2);
        ASSERT_EQ(api.GetEventLog(records, 5, FALSE, 0, &status), 3);
        EXPECT_EQ(records[0].code, kError + 3);
        EXPECT_EQ(records[2].code, kError + 5);
    });
}

TEST_F(Ring, WithoutConfigurationTheRingHolds400Records) {
    InFreshProcess([](const EventLogApi& api) {
        for (DWORD i = 1; i <= 401; ++i) {
            api.LogEvent(kError, i, 0);
        }
        std::vector<HVTEventRecord> records = api.Read();
        ASSERT_EQ(records.size(), 400u);
        EXPECT_EQ(records.front().parameter1, 2u);
        EXPECT_EQ(records.back().parameter1, 401u);
    });
}

TEST_F(Ring, OnlyTheLow16BitsOfQueueSizeCount) {
    ConfigureQueueSize(DwordValue(0x00070004));
    InFreshProcess([](const EventLogApi& api) {
        for (DWORD i = 1; i <= 6; ++i) {
            api.LogEvent(kError + i, i, 0);
        }
        EXPECT_EQ(api.Read().size(), 4u);
    });
}

TEST_F(Ring, AQueueSizeWhoseLow16BitsAreZeroGivesTheDefaultRing) {
    ConfigureQueueSize(DwordValue(0x00010000));
    InFreshProcess([](const EventLogApi& api) {
        for (DWORD i = 1; i <= 401; ++i) {
            api.LogEvent(kError, i, 0);
        }
        EXPECT_EQ(api.Read().size(), 400u);
    });
}

TEST_F(Ring, AQueueSizeOfTheWrongTypeGivesTheDefaultRing) {
    ConfigureQueueSize(evtest::RegistryValue{REG_SZ, std::string("5\0", 4)});
    InFreshProcess([](const EventLogApi& api) {
        for (DWORD i = 1; i <= 6; ++i) {
            api.LogEvent(kError, i, 0);
        }
        EXPECT_EQ(api.Read().size(), 6u);
    });
}

TEST_F(Ring, ClearingEmptiesTheLogForEveryReader) {
    ConfigureQueueSize(DwordValue(4));
    InFreshProcess([](const EventLogApi& api) {
        for (DWORD i = 1; i <= 3; ++i) {
            api.LogEvent(kError + i, i, 0);
        }
        EXPECT_EQ(api.ReadCodes(true).size(), 3u); // this process's cursor is now on slot 2
        EXPECT_EQ(api.ClearEventLog(), 1u);
        EXPECT_TRUE(api.ReadCodes(true).empty());
        EXPECT_EQ(testsupport::RunChild(L"count-records"), 0u);

        // A cursor left behind by the clear neither hands out stale slots nor
        // skips what is logged after it.
        ASSERT_EQ(testsupport::RunChild(L"log-errors", L"3"), 0u);
        EXPECT_EQ(api.ReadCodes(false), (std::vector<DWORD>{kError + 1, kError + 2, kError + 3}));
    });
}

TEST_F(Ring, EachProcessReadsWithItsOwnCursor) {
    InFreshProcess([](const EventLogApi& api) {
        for (DWORD i = 1; i <= 3; ++i) {
            api.LogEvent(kError + i, i, 0);
        }
        HVTEventRecord records[2];
        DWORD status = 0;
        ASSERT_EQ(api.GetEventLog(records, 2, TRUE, 0, &status), 2);

        // Another process starts from the oldest record and moves only its own cursor.
        EXPECT_EQ(testsupport::RunChild(L"count-records"), 3u);
        EXPECT_EQ(api.ReadCodes(false), (std::vector<DWORD>{kError + 3}));
    });
}

TEST_F(Ring, RecordsLoggedByAnotherProcessAreReadHere) {
    InFreshProcess([](const EventLogApi& api) {
        ASSERT_EQ(testsupport::RunChild(L"log-errors", L"2"), 0u);
        std::vector<HVTEventRecord> records = api.Read();
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].code, kError + 1);
        EXPECT_EQ(records[1].parameter1, 2u);
        EXPECT_NE(records[0].threadId, ::GetCurrentThreadId());
    });
}

} // namespace
