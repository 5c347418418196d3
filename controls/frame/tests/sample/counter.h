// The frame's sample programmable object: no window, no persistence; a
// member with a default argument and an event.
#pragma once

#include "frame/object.h"
#include "frame_sample.h"

class Counter final : public frame::Object<Counter, ICounter> {
public:
    static const frame::ObjectClass& Class();

    HRESULT STDMETHODCALLTYPE get_Count(LONG* value) override;
    HRESULT STDMETHODCALLTYPE Step(LONG by) override;

private:
    LONG count_ = 0;
};
