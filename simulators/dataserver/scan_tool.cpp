// HVTScan: "scans" a barcode into the terminal, or makes a reader device
// fail, through the scan desk.
//
//   HVTScan [/d:device] [/s:symbology] [/t:datatype] [/f:status] text
//   HVTScan [/d:device] ... /x:hexbytes
//   HVTScan [/d:device] /fail:operation:status[:count[:attribute]]
//   HVTScan /clear | /reset | /list
//
// Operations: open, get, set, cancel, scanner, beeps, led, query. Numbers are
// decimal or 0x hexadecimal; a count of -1 forces every call until /clear.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "scan_desk.h"

namespace {

using dataserver::Operation;

struct OperationName {
    const wchar_t* name;
    Operation operation;
};
const OperationName kOperations[] = {
    {L"open", Operation::Open},
    {L"get", Operation::GetAttribute},
    {L"set", Operation::SetAttribute},
    {L"cancel", Operation::CancelRead},
    {L"scanner", Operation::ControlScanner},
    {L"beeps", Operation::IssueBeeps},
    {L"led", Operation::ControlLED},
    {L"query", Operation::QueryData},
};

const wchar_t kUsage[] =
    L"usage: HVTScan [/d:device] [/s:symbology] [/t:datatype] [/f:status] text\r\n"
    L"       HVTScan [/d:device] ... /x:hexbytes\r\n"
    L"       HVTScan [/d:device] /fail:operation:status[:count[:attribute]]\r\n"
    L"       HVTScan /clear | /reset | /list\r\n";

long Number(const std::wstring& text) {
    return static_cast<long>(std::wcstoul(text.c_str(), nullptr, 0));
}

std::vector<std::wstring> Split(const std::wstring& text) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t colon = text.find(L':', start);
        parts.push_back(text.substr(start, colon - start));
        if (colon == std::wstring::npos) {
            return parts;
        }
        start = colon + 1;
    }
}

bool HexBytes(const std::wstring& text, std::vector<BYTE>& bytes) {
    if (text.size() % 2 != 0) {
        return false;
    }
    for (size_t i = 0; i < text.size(); i += 2) {
        wchar_t* end = nullptr;
        const std::wstring pair = text.substr(i, 2);
        const unsigned long value = std::wcstoul(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2) {
            return false;
        }
        bytes.push_back(static_cast<BYTE>(value));
    }
    return true;
}

int List(dataserver::ScanDesk& desk) {
    std::wprintf(L"scans waiting: %ld\r\n", desk.ScansWaiting());
    for (const dataserver::DeviceState& d : desk.Devices()) {
        std::wprintf(L"device \"%ls\": opens %ld, mode %ld, reads %ld (waiting %ld), cancels %ld,"
                     L" beeps %ld, grid \"%.32ls\" mask 0x%08lX\r\n",
                     d.name.c_str(), d.opens, d.mode, d.readsStarted, d.readsWaiting, d.cancels,
                     d.beeps, d.grid.name, static_cast<unsigned long>(d.grid.symbologyMask));
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    dataserver::ScanDesk desk;
    if (!desk.valid()) {
        std::fwprintf(stderr, L"HVTScan: the scan desk cannot be opened\r\n");
        return 2;
    }
    if (desk.created()) {
        std::fwprintf(stderr, L"HVTScan: no reader has the scan desk open; what this puts there "
                              L"is gone when HVTScan ends\r\n");
    }
    dataserver::Scan scan;
    std::wstring failure;
    std::wstring text;
    bool haveData = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        auto value = [&](const wchar_t* prefix) { return arg.substr(std::wcslen(prefix)); };
        if (arg == L"/clear") {
            desk.ClearFailures();
            return 0;
        } else if (arg == L"/reset") {
            desk.Reset();
            return 0;
        } else if (arg == L"/list") {
            return List(desk);
        } else if (arg.rfind(L"/d:", 0) == 0) {
            scan.device = value(L"/d:");
        } else if (arg.rfind(L"/s:", 0) == 0) {
            scan.symbology = Number(value(L"/s:"));
        } else if (arg.rfind(L"/t:", 0) == 0) {
            scan.dataType = Number(value(L"/t:"));
        } else if (arg.rfind(L"/f:", 0) == 0) {
            scan.status = static_cast<HRESULT>(Number(value(L"/f:")));
        } else if (arg.rfind(L"/x:", 0) == 0) {
            if (!HexBytes(value(L"/x:"), scan.data)) {
                std::fwprintf(stderr, L"HVTScan: bad hex bytes\r\n%ls", kUsage);
                return 1;
            }
            haveData = true;
        } else if (arg.rfind(L"/fail:", 0) == 0) {
            failure = value(L"/fail:");
        } else if (!arg.empty() && arg[0] != L'/') {
            text += (text.empty() ? L"" : L" ") + arg;
            haveData = true;
        } else {
            std::fwprintf(stderr, L"%ls", kUsage);
            return 1;
        }
    }
    if (!failure.empty()) {
        const std::vector<std::wstring> parts = Split(failure);
        dataserver::Failure f;
        f.device = scan.device;
        bool known = false;
        for (const OperationName& o : kOperations) {
            if (parts[0] == o.name) {
                f.operation = o.operation;
                known = true;
            }
        }
        if (!known || parts.size() < 2) {
            std::fwprintf(stderr, L"%ls", kUsage);
            return 1;
        }
        f.status = static_cast<HRESULT>(Number(parts[1]));
        f.count = parts.size() > 2 ? Number(parts[2]) : 1;
        f.attribute = parts.size() > 3 ? Number(parts[3]) : -1;
        return desk.InjectFailure(f) ? 0 : 3;
    }
    if (!haveData && scan.status == S_OK) {
        std::fwprintf(stderr, L"%ls", kUsage);
        return 1;
    }
    // Text is scanned as the bytes of the terminal's code page.
    if (!text.empty()) {
        const int size = ::WideCharToMultiByte(
            CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::vector<BYTE> bytes(static_cast<size_t>(size));
        ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                              reinterpret_cast<char*>(bytes.data()), size, nullptr, nullptr);
        scan.data.insert(scan.data.end(), bytes.begin(), bytes.end());
    }
    if (!desk.Inject(scan)) {
        std::fwprintf(stderr, L"HVTScan: the desk is full or the scan longer than %u bytes\r\n",
                      static_cast<unsigned>(dataserver::kScanBytes));
        return 3;
    }
    return 0;
}
