// The control's interfaces as the type library describes them. The header
// that widl writes gives Hangup's optional name a default of a plain string
// literal, which C++ callers never use (they pass a BSTR).
#pragma once

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wwrite-strings"
#include "Dialvora.h"
#pragma GCC diagnostic pop
