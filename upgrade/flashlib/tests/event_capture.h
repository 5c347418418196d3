// Lets a test see every event of the facilities it watches: widens the shared
// filter to all classes of them, skips what was logged before, and puts the
// filter back at the end.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <ostream>
#include <vector>

#include "HVTEventLog.h"

struct RaisedEvent {
    DWORD code;
    DWORD parameter1;
    DWORD parameter2;
    bool operator==(const RaisedEvent& other) const {
        return code == other.code && parameter1 == other.parameter1 &&
               parameter2 == other.parameter2;
    }
};
std::ostream& operator<<(std::ostream& out, const RaisedEvent& event);

class EventCapture {
public:
    EventCapture() = default;
    EventCapture(const EventCapture&) = delete;
    EventCapture& operator=(const EventCapture&) = delete;
    ~EventCapture() { Restore(); }

    // Use inside ASSERT_NO_FATAL_FAILURE: it asserts on the log's answers.
    void Start(std::initializer_list<DWORD> facilities);
    void Restore();
    // The watched facilities' events logged since the last call (or Start).
    std::vector<RaisedEvent> Events();

private:
    std::vector<DWORD> facilities_;
    bool saved_ = false;
    WORD defaultMask_ = 0;
    std::vector<HVTFacilityFilter> entries_;
    std::vector<DWORD> codes_;
};
