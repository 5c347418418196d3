#include "data_server.h"

#include <tlhelp32.h>

#include "HVTEventLog.h"
#include "HVTLogException.h"
#include "common/handle.h"
#include "utility_log.h"

namespace q4mutil {

const wchar_t kDataServerImage[] = L"HVTDataServer.exe";

namespace {

const wchar_t kReaderProgId[] = L"Harvanti.BarCodeReader";
const wchar_t kEngineDeviceName[] = L"Q4M";
constexpr long kEngineDeviceNumber = 3;

// Site numbers of the statements that raise process search events.
enum SearchSite : DWORD {
    SiteSearchBegin = 1,
    SiteSnapshotBegin = 2,
    SiteSnapshotEnd = 3,
    SiteSnapshotFailed = 4,
    SiteFirstEntryBegin = 5,
    SiteFirstEntryEnd = 6,
    SiteWalkOn = 7,
    SiteMatch = 8,
    SiteListEnd = 9,
    SiteSearchEnd = 10,
    SiteSearchFailed = 11,
};
// The second parameter of the "not found" event.
constexpr DWORD kNotFoundDetail = 18;

LONG SearchSnapshot(const wchar_t* imageName) {
    HVTLogEvent(hvt::PROCESS_SNAPSHOT_BEGIN, SiteSnapshotBegin, 0);
    common::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        // Like every search event, the site comes first; the reason follows.
        throw hvt::StructuredException(hvt::PROCESS_SNAPSHOT_FAILED,
                                       {SiteSnapshotFailed, ::GetLastError()});
    }
    HVTLogEvent(hvt::PROCESS_SNAPSHOT_END, SiteSnapshotEnd, 0);

    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    HVTLogEvent(hvt::PROCESS_FIRST_ENTRY_BEGIN, SiteFirstEntryBegin, 0);
    BOOL more = ::Process32FirstW(snapshot.get(), &entry);
    HVTLogEvent(hvt::PROCESS_FIRST_ENTRY_END, SiteFirstEntryEnd, 0);
    DWORD skipped = 0;
    while (more) {
        if (::lstrcmpiW(entry.szExeFile, imageName) == 0) {
            HVTLogEvent(hvt::PROCESS_MATCH_FOUND, SiteMatch, skipped);
            return static_cast<LONG>(hvt::PROCESS_MATCH_FOUND);
        }
        HVTLogEvent(hvt::PROCESS_WALK_ON, SiteWalkOn, 0);
        ++skipped;
        more = ::Process32NextW(snapshot.get(), &entry);
    }
    HVTLogEvent(hvt::PROCESS_LIST_END, SiteListEnd, 0);
    throw hvt::StructuredException(hvt::PROCESS_NOT_FOUND,
                                   {hvt::PROCESS_NOT_FOUND, kNotFoundDetail});
}

} // namespace

bool PortIsFree(const wchar_t* port) {
    common::UniqueFile handle(
        ::CreateFileW(port, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return handle.valid();
}

LONG FindProcess(const wchar_t* imageName) {
    HVTLogEvent(hvt::PROCESS_SEARCH_BEGIN, SiteSearchBegin, 0);
    LONG result = 0;
    try {
        result = SearchSnapshot(imageName);
    } catch (const hvt::StructuredException& failure) {
        DWORD code = 0;
        HVTLogException(failure, &code);
        HVTLogEvent(hvt::PROCESS_SEARCH_FAILED, code, SiteSearchFailed);
        result = static_cast<LONG>(code);
    } catch (...) {
        result = static_cast<LONG>(hvt::PROCESS_SEARCH_FAILED);
    }
    HVTLogEvent(hvt::PROCESS_SEARCH_END, SiteSearchEnd, 0);
    return result;
}

common::ComPtr<IBarCodeReaderConfig> CreateReaderConfig() {
    CLSID classId{};
    HRESULT result = ::CLSIDFromProgID(kReaderProgId, &classId);
    if (FAILED(result)) {
        LogFormat(L"Error CLSIDFromProgID(Harvanti.BarCodeReader): 0x%x\r\n",
                  static_cast<unsigned>(result));
        return {};
    }
    common::ComPtr<IBarCodeReaderConfig> config;
    result = ::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IBarCodeReaderConfig,
                                config.put_void());
    if (FAILED(result)) {
        LogFormat(L"Error CoCreateInstance(IID_IBarCodeReaderConfig:0x%x) HRESULT=0x%x\r\n",
                  static_cast<unsigned>(IID_IBarCodeReaderConfig.Data1),
                  static_cast<unsigned>(result));
        return {};
    }
    common::UniqueBstr device(kEngineDeviceName);
    result = config->Initialize(device.get(), kEngineDeviceNumber);
    if (FAILED(result)) {
        LogFormat(L"Error initializing BarcodeControl: HRESULT=0x%x\r\n",
                  static_cast<unsigned>(result));
        return {};
    }
    return config;
}

common::ComPtr<IBarCodeReaderConfig> DetectDataServer(const wchar_t* port) {
    if (PortIsFree(port)) {
        return {};
    }
    if (FindProcess(kDataServerImage) < 0) {
        return {};
    }
    return CreateReaderConfig();
}

} // namespace q4mutil
