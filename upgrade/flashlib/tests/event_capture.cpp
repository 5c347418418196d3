#include "event_capture.h"

#include <algorithm>
#include <cstdio>

#include <gtest/gtest.h>

std::ostream& operator<<(std::ostream& out, const RaisedEvent& event) {
    char text[64];
    std::snprintf(text, sizeof(text), "{0x%08lX, %lu, %lu}", event.code, event.parameter1,
                  event.parameter2);
    return out << text;
}

void EventCapture::Start(std::initializer_list<DWORD> facilities) {
    facilities_.assign(facilities);
    HVTFacilityFilter entries[10];
    DWORD codes[20];
    WORD entryCount = 0;
    WORD codeCount = 0;
    ASSERT_EQ(HVTGetEventFilter(1, entries, 10, &entryCount, &defaultMask_, codes, 20, &codeCount),
              hvt::EVTLOG_SUCCESS);
    entries_.assign(entries, entries + entryCount);
    codes_.assign(codes, codes + codeCount);
    saved_ = true;

    std::vector<HVTFacilityFilter> all;
    for (DWORD facility : facilities_) {
        all.push_back({static_cast<WORD>(facility), 0x0F});
    }
    ASSERT_EQ(HVTSetEventFilter(1, all.data(), static_cast<WORD>(all.size()), defaultMask_, codes,
                                codeCount),
              hvt::EVTLOG_SUCCESS);
    HVTEventRecord records[64];
    DWORD status = 0;
    BOOL restart = TRUE;
    while (HVTGetEventLog(records, 64, restart, 0, &status) == 64) {
        restart = FALSE;
    }
}

void EventCapture::Restore() {
    if (saved_) {
        HVTSetEventFilter(1, entries_.data(), static_cast<WORD>(entries_.size()), defaultMask_,
                          codes_.data(), static_cast<WORD>(codes_.size()));
        saved_ = false;
    }
}

std::vector<RaisedEvent> EventCapture::Events() {
    std::vector<RaisedEvent> events;
    HVTEventRecord records[64];
    DWORD status = 0;
    WORD got = 0;
    do {
        got = HVTGetEventLog(records, 64, FALSE, 0, &status);
        for (WORD i = 0; i < got; ++i) {
            DWORD facility = hvt::EventFacility(records[i].code);
            if (std::find(facilities_.begin(), facilities_.end(), facility) != facilities_.end()) {
                events.push_back({records[i].code, records[i].parameter1, records[i].parameter2});
            }
        }
    } while (got == 64);
    return events;
}
