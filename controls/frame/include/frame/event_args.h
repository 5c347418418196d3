// Arguments of fired events (ObjectBase::FireEvent), in the event's types.
//
//   common::UniqueVariant text;                       // answered by the sinks
//   FireEvent(1, {event_args::I4(row), event_args::ByRef(*text.get())});
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace frame::event_args {

inline VARIANT I2(SHORT value) noexcept {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

inline VARIANT I4(LONG value) noexcept {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

// A VARIANT passed by reference: every sink reads and may replace `shared`,
// which stays the caller's to clear.
inline VARIANT ByRef(VARIANT& shared) noexcept {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = &shared;
    return v;
}

} // namespace frame::event_args
