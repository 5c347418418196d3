// The phonebook as the entries control reads and writes it: one record or
// one set of dial parameters at a time, fetched afresh for every use.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "ceras.h"
#include "common/handle.h"

namespace entrovia {

// An entry's record read from the phonebook, to look at or to change and
// write back. An entry that is not there reads as an empty record.
class EntryRecord {
public:
    explicit EntryRecord(const std::wstring& name);
    bool valid() const noexcept { return memory_.valid(); }
    RASENTRY& get() const noexcept { return *static_cast<RASENTRY*>(memory_.get()); }
    // Writes the record under the entry's name; the outcome is the platform's.
    void Write() const;

private:
    std::wstring name_;
    DWORD size_ = sizeof(RASENTRY);
    common::UniqueLocal memory_;
};

struct DialParameters {
    RASDIALPARAMS params;
    BOOL passwordStored;
};
// The entry's stored dial parameters; empty fields when it has none.
DialParameters ReadDialParameters(const std::wstring& name);

struct Device {
    std::wstring type;
    std::wstring name;
};
std::vector<Device> EnumDevices();
// The type of the first device named `name` exactly; false when none is.
bool DeviceTypeOf(std::wstring_view name, std::wstring& type);

// Address text "a.b.c.d" and the four bytes of an address field, which hold
// the octets last first.
std::wstring FormatAddress(const RASIPADDR& address);
RASIPADDR ParseAddress(std::wstring_view text);

} // namespace entrovia
