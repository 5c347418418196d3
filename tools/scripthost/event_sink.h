// A sink for one source's event interface that calls the script's
// Sub <prefix>_<Event> handlers, looked up by name at every event.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <map>
#include <string>

#include "common/com.h"

namespace scripthost {

class ScriptHost;

// The default source interface of `source` and its members' names, from
// the object's class information.
HRESULT FindEvents(IUnknown* source, IID& iid, std::map<DISPID, std::wstring>& names);

common::ComPtr<IDispatch> CreateEventSink(ScriptHost& host, const IID& iid, std::wstring prefix,
                                          std::map<DISPID, std::wstring> names);

} // namespace scripthost
