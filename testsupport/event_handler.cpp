#include "testsupport/event_handler.h"

namespace testsupport {

common::ComPtr<EventHandler> EventHandler::Create(const IID& iid, Handler handler) {
    return common::ComPtr<EventHandler>(new EventHandler(iid, std::move(handler)));
}

VARIANT* EventHandler::ByRefArgument(DISPPARAMS& params, UINT index) {
    if (index >= params.cArgs) {
        return nullptr;
    }
    VARIANT& argument = params.rgvarg[params.cArgs - 1 - index];
    return argument.vt == (VT_BYREF | VT_VARIANT) ? argument.pvarVal : nullptr;
}

HRESULT EventHandler::Invoke(DISPID id, REFIID, LCID locale, WORD flags, DISPPARAMS* params,
                             VARIANT*, EXCEPINFO*, UINT*) {
    calls_.push_back({id, locale, flags});
    if (handler_ && params != nullptr) {
        handler_(id, *params);
    }
    return S_OK;
}

} // namespace testsupport
