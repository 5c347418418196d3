// Faults and block orders written as text, the way the engine program takes
// them on its command line.
#pragma once

#include <string>
#include <vector>

#include "engine/faults.h"

namespace engine {

// POINT:ACTION[:VALUE[:COMMAND[:OCCURRENCE]]], for example "command-ack:replace:0x30:0x14"
// or "auto-baud:silence". Points and actions go by the names of the table in
// fault_text.cpp; COMMAND is a command code or "any", OCCURRENCE counts from 0
// or is "every". Numbers may be decimal or 0x hexadecimal. False for anything
// else, with `fault` untouched.
bool ParseFault(const std::wstring& text, Fault* fault);

// Block numbers separated by commas ("2,1,2"), each 0 to 255. False for an
// empty list or anything else.
bool ParseBlockOrder(const std::wstring& text, std::vector<int>* order);

} // namespace engine
