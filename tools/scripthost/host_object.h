// The script's `Host` object and the list boxes it puts on the form.
#pragma once

#include <windows.h>

#include "common/com.h"

namespace scripthost {

class ScriptHost;

common::ComPtr<IDispatch> CreateHostObject(ScriptHost& host);

} // namespace scripthost
