// A finished read reaches the script: the completion message on the
// control's window fires CompleteRead to every connected sink.
#include <vector>

#include "barcode_control.h"
#include "structured_guard.h"

namespace {

constexpr DISPID kDispCompleteRead = 1;
constexpr LCID kUserDefaultLocale = 0x400;

// What one firing needs, kept outside the guarded loop so that a sink's
// fault leaves nothing unowned.
struct Firing {
    std::vector<common::ComPtr<IUnknown>> sinks;
    barcode::ReadCompletion completion;
    VARIANTARG arguments[5];      // stDate first: the arguments in reverse
    common::UniqueVariant result; // cleared before each call
};

void FireToSinks(void* context) {
    auto& firing = *static_cast<Firing*>(context);
    for (const common::ComPtr<IUnknown>& sink : firing.sinks) {
        common::ComPtr<IUnknown> held = sink; // the sink stays while it is called
        VARIANTARG& data = firing.arguments[3];
        ::VariantClear(&data);
        // The data as a zero-terminated string: it ends at the first zero character.
        data.bstrVal = ::SysAllocString(
            firing.completion.data.get() != nullptr ? firing.completion.data.get() : L"");
        if (data.bstrVal != nullptr) {
            data.vt = VT_BSTR;
        } else {
            data.vt = VT_ERROR;
            data.scode = E_OUTOFMEMORY;
        }
        DISPPARAMS params = {firing.arguments, nullptr, 5, 0};
        firing.result.reset();
        static_cast<IDispatch*>(held.get())
            ->Invoke(kDispCompleteRead, IID_NULL, kUserDefaultLocale, DISPATCH_METHOD, &params,
                     firing.result.put(), nullptr, nullptr);
    }
}

} // namespace

LRESULT HVTAXBarCode::OnCreate(WPARAM, LPARAM, bool& handled) {
    // A window made after the device opened takes the completions over.
    if (channel_) {
        channel_->window = Window();
    }
    handled = false;
    return 0;
}

LRESULT HVTAXBarCode::OnCompleteRead(WPARAM, LPARAM, bool&) {
    FireCompleteRead();
    return 0;
}

void HVTAXBarCode::FireCompleteRead() {
    if (!channel_ || EventPoint() == nullptr) {
        return;
    }
    Firing firing;
    for (VARIANTARG& argument : firing.arguments) {
        ::VariantInit(&argument);
    }
    try {
        firing.sinks = EventPoint()->Sinks();
    } catch (...) {
        return;
    }
    // A copy of the slot: a later completion cannot change what is fired.
    // A message left from before an Unload finds this opening's slot empty.
    switch (channel_->Copy(firing.completion)) {
    case barcode::ReadChannel::Copied::kNothingYet:
        return;
    case barcode::ReadChannel::Copied::kNoMemory:
        firing.completion.status = E_OUTOFMEMORY;
        break;
    case barcode::ReadChannel::Copied::kCompletion:
        break;
    }
    firing.arguments[4].vt = VT_I4;
    firing.arguments[4].lVal = firing.completion.status;
    firing.arguments[2].vt = VT_I4;
    firing.arguments[2].lVal = firing.completion.symbology;
    firing.arguments[1].vt = VT_I4;
    firing.arguments[1].lVal = firing.completion.dataType;
    firing.arguments[0].vt = VT_DATE;
    firing.arguments[0].date = firing.completion.time;
    // A sink's fault is logged and ends this firing; the control goes on.
    barcode::RunGuarded(&FireToSinks, &firing);
    for (VARIANTARG& argument : firing.arguments) {
        ::VariantClear(&argument);
    }
}
