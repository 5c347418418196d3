// The trace point: what it keeps around its trigger, and how changing its
// criteria or type while it runs moves it on.
#include "fresh_log.h"

namespace {

using evtest::DwordValue;
using evtest::EventLogApi;

constexpr DWORD kWarning = 0x82BB0000; // + a number, so every event is told apart
constexpr DWORD kTrigger = 0xC2BB0042;

// Logs warnings kWarning + first .. kWarning + first + count - 1.
void LogWarnings(const EventLogApi& api, DWORD first, DWORD count) {
    for (DWORD i = first; i < first + count; ++i) {
        EXPECT_EQ(api.LogEvent(kWarning + i, 0, 0), hvt::EVTLOG_SUCCESS);
    }
}

std::vector<DWORD> Warnings(DWORD first, DWORD count) {
    std::vector<DWORD> codes;
    for (DWORD i = first; i < first + count; ++i) {
        codes.push_back(kWarning + i);
    }
    return codes;
}

std::vector<DWORD> Join(std::vector<DWORD> a, const std::vector<DWORD>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

DWORD State(const EventLogApi& api) {
    DWORD state = 0xFF;
    EXPECT_EQ(api.GetTracePointStatus(&state), 1u);
    return state;
}

class TracePoint : public evtest::FreshLog {};

TEST_F(TracePoint, StopTypeOnTheErrorClassStopsTheLogAtTheFirstError) {
    InFreshProcess([](const EventLogApi& api) {
        EXPECT_EQ(api.SetTracePointCriteria(3, hvt::TraceStop), 1u);
        EXPECT_EQ(State(api), hvt::TraceArmed);
        LogWarnings(api, 1, 2);
        api.LogEvent(kTrigger, 0, 0);
        EXPECT_EQ(State(api), hvt::TraceTriggered);
        LogWarnings(api, 3, 2);
        api.LogEvent(kTrigger + 1, 0, 0);
        EXPECT_EQ(State(api), hvt::TraceStopped);
        EXPECT_EQ(api.ReadCodes(), Join(Warnings(1, 2), {kTrigger}));

        EXPECT_EQ(api.ResetTracePoint(), 1u);
        EXPECT_EQ(State(api), hvt::TraceArmed);
        LogWarnings(api, 5, 1);
        EXPECT_EQ(api.ReadCodes(false), Warnings(5, 1));
    });
}

TEST_F(TracePoint, StartTypeKeepsExactlyARingFullFromTheTriggerOn) {
    ConfigureQueueSize(DwordValue(5));
    InFreshProcess([](const EventLogApi& api) {
        api.SetTracePointCriteria(kTrigger, hvt::TraceStart);
        LogWarnings(api, 1, 3);
        api.LogEvent(kTrigger, 0, 0);
        LogWarnings(api, 4, 10);
        EXPECT_EQ(api.ReadCodes(), Join({kTrigger}, Warnings(4, 4)));
        EXPECT_EQ(State(api), hvt::TraceStopped);
    });
}

TEST_F(TracePoint, CentreTypeKeepsTheTriggerNearTheMiddle) {
    ConfigureQueueSize(DwordValue(6));
    InFreshProcess([](const EventLogApi& api) {
        api.SetTracePointCriteria(kTrigger, hvt::TraceCentre);
        LogWarnings(api, 1, 5);
        api.LogEvent(kTrigger, 0, 0);
        LogWarnings(api, 6, 5);
        EXPECT_EQ(api.ReadCodes(), Join(Join(Warnings(4, 2), {kTrigger}), Warnings(6, 3)));
    });
}

TEST_F(TracePoint, TheTriggerIsRecordedEvenWhenTheFilterDropsIt) {
    InFreshProcess([](const EventLogApi& api) {
        const DWORD info = 0x42BB0005;
        api.SetTracePointCriteria(info, hvt::TraceStop);
        api.LogEvent(0x42BB0004, 0, 0);
        api.LogEvent(info, 0, 0);
        EXPECT_EQ(api.ReadCodes(), (std::vector<DWORD>{info}));
    });
}

TEST_F(TracePoint, TypeNoneNeverTriggers) {
    InFreshProcess([](const EventLogApi& api) {
        api.SetTracePointCriteria(3, hvt::TraceNone);
        api.LogEvent(kTrigger, 0, 0);
        LogWarnings(api, 1, 2);
        EXPECT_EQ(State(api), hvt::TraceArmed);
        EXPECT_EQ(api.ReadCodes(), Join({kTrigger}, Warnings(1, 2)));
    });
}

TEST_F(TracePoint, CriteriaAndTypeReadBackAsSet) {
    InFreshProcess([](const EventLogApi& api) {
        DWORD criteria = 0, type = 0xFF;
        EXPECT_EQ(api.GetTracePointCriteria(&criteria, &type), 1u);
        EXPECT_EQ(criteria, hvt::DefaultTraceCriteria);
        EXPECT_EQ(type, 0u);
        api.SetTracePointCriteria(kTrigger, 7); // an unknown type is kept as it is
        EXPECT_EQ(api.GetTracePointCriteria(&criteria, &type), 1u);
        EXPECT_EQ(criteria, kTrigger);
        EXPECT_EQ(type, 7u);
        EXPECT_EQ(State(api), hvt::TraceArmed);
    });
}

TEST_F(TracePoint, NewCriteriaArmAStoppedTracePointAgain) {
    InFreshProcess([](const EventLogApi& api) {
        api.SetTracePointCriteria(3, hvt::TraceStop);
        api.LogEvent(kTrigger, 0, 0);
        LogWarnings(api, 1, 1);
        ASSERT_EQ(State(api), hvt::TraceStopped);

        // The same criteria with another type leave it stopped.
        api.SetTracePointCriteria(3, hvt::TraceStart);
        EXPECT_EQ(State(api), hvt::TraceStopped);

        api.SetTracePointCriteria(kTrigger + 1, hvt::TraceStop);
        EXPECT_EQ(State(api), hvt::TraceArmed);
        LogWarnings(api, 2, 1);
        EXPECT_EQ(api.ReadCodes(), (std::vector<DWORD>{kTrigger, kWarning + 2}));
    });
}

TEST_F(TracePoint, FromStartToCentreWhileTriggeredKeepsWhatIsAlreadyRecorded) {
    ConfigureQueueSize(DwordValue(10));
    InFreshProcess([](const EventLogApi& api) {
        api.SetTracePointCriteria(kTrigger, hvt::TraceStart);
        api.LogEvent(kTrigger, 0, 0);
        LogWarnings(api, 1, 2);
        api.SetTracePointCriteria(kTrigger, hvt::TraceCentre);
        EXPECT_EQ(State(api), hvt::TraceTriggered);
        LogWarnings(api, 3, 5);
        EXPECT_EQ(api.ReadCodes(), Join({kTrigger}, Warnings(1, 4)));
    });
}

TEST_F(TracePoint, FromStartToCentreStopsWhenMoreThanHalfIsRecorded) {
    ConfigureQueueSize(DwordValue(10));
    InFreshProcess([](const EventLogApi& api) {
        api.SetTracePointCriteria(kTrigger, hvt::TraceStart);
        api.LogEvent(kTrigger, 0, 0);
        LogWarnings(api, 1, 5);
        api.SetTracePointCriteria(kTrigger, hvt::TraceCentre);
        EXPECT_EQ(State(api), hvt::TraceStopped);
        LogWarnings(api, 6, 1);
        EXPECT_EQ(api.ReadCodes(), Join({kTrigger}, Warnings(1, 5)));
    });
}

TEST_F(TracePoint, FromCentreToStartWhileTriggeredFillsTheRing) {
    ConfigureQueueSize(DwordValue(10));
    InFreshProcess([](const EventLogApi& api) {
        api.SetTracePointCriteria(kTrigger, hvt::TraceCentre);
        api.LogEvent(kTrigger, 0, 0);
        LogWarnings(api, 1, 1);
        api.SetTracePointCriteria(kTrigger, hvt::TraceStart);
        LogWarnings(api, 2, 12);
        EXPECT_EQ(api.ReadCodes(), Join({kTrigger}, Warnings(1, 9)));
    });
}

TEST_F(TracePoint, ToStopWhileTriggeredStopsAtOnce) {
    InFreshProcess([](const EventLogApi& api) {
        api.SetTracePointCriteria(kTrigger, hvt::TraceStart);
        api.LogEvent(kTrigger, 0, 0);
        api.SetTracePointCriteria(kTrigger, hvt::TraceStop);
        EXPECT_EQ(State(api), hvt::TraceStopped);
        LogWarnings(api, 1, 1);
        EXPECT_EQ(api.ReadCodes(), (std::vector<DWORD>{kTrigger}));
    });
}

TEST_F(TracePoint, ToNoneWhileTriggeredLogsAsTheFilterSays) {
    InFreshProcess([](const EventLogApi& api) {
        api.SetTracePointCriteria(kTrigger, hvt::TraceStop);
        api.LogEvent(kTrigger, 0, 0);
        api.SetTracePointCriteria(kTrigger, hvt::TraceNone);
        EXPECT_EQ(State(api), hvt::TraceArmed);
        LogWarnings(api, 1, 3);
        EXPECT_EQ(api.ReadCodes(), Join({kTrigger}, Warnings(1, 3)));
    });
}

} // namespace
