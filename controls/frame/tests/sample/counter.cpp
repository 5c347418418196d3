#include "counter.h"

const frame::ObjectClass& Counter::Class() {
    static const frame::ObjectClass cls = {&CLSID_Counter, &IID_ICounter, &DIID__ICounterEvents};
    return cls;
}

HRESULT Counter::get_Count(LONG* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = count_;
    return S_OK;
}

HRESULT Counter::Step(LONG by) {
    if (by == 0) {
        return ReportError(E_INVALIDARG, L"A step of nothing");
    }
    count_ += by;
    VARIANT count;
    count.vt = VT_I4;
    count.lVal = count_;
    FireEvent(1, {count});
    return S_OK;
}
