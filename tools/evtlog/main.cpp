// evtlog: a console viewer for the terminal's event log.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "HVTEventLog.h"
#include "record_format.h"

namespace {

const char kUsage[] =
    "usage: evtlog [dump]                     the log, oldest record first\n"
    "       evtlog follow [SECONDS]           the log, then new records as they come\n"
    "       evtlog clear                      empty the log\n"
    "       evtlog log CODE [P1 [P2]]         record an event\n"
    "       evtlog filter                     show the filter\n"
    "       evtlog filter set MASK [FACILITY:MASK...] [CODE...]\n"
    "                                         default class mask, facility entries and\n"
    "                                         codes always recorded (kept in the registry)\n"
    "       evtlog trace                      show the trace point\n"
    "       evtlog trace set CRITERIA TYPE    TYPE 0 none, 1 centre, 2 stop, 3 start\n"
    "       evtlog trace reset                arm the trace point again\n"
    "Numbers may be decimal or 0x hexadecimal.\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

bool ParseNumber(const char* text, DWORD* value) {
    char* end = nullptr;
    unsigned long parsed = std::strtoul(text, &end, 0);
    if (end == text || *end != '\0') {
        std::fprintf(stderr, "evtlog: not a number: %s\n", text);
        return false;
    }
    *value = static_cast<DWORD>(parsed);
    return true;
}

// Prints every record not yet read by this process; false on a failure.
bool PrintNewRecords(BOOL restart, size_t* printed) {
    HVTEventRecord records[64];
    for (;;) {
        DWORD status = 0;
        WORD n = HVTGetEventLog(records, 64, restart, 0, &status);
        if (status != hvt::EVTLOG_SUCCESS) {
            std::fprintf(stderr, "evtlog: reading the log failed: %s\n",
                         evtlog::StatusText(status).c_str());
            return false;
        }
        for (WORD i = 0; i < n; ++i) {
            std::printf("%s\n", evtlog::FormatRecord(records[i]).c_str());
        }
        *printed += n;
        std::fflush(stdout);
        if (n < 64) {
            return true;
        }
        restart = FALSE;
    }
}

int Dump() {
    size_t printed = 0;
    if (!PrintNewRecords(TRUE, &printed)) {
        return 1;
    }
    std::printf("%zu record(s)\n", printed);
    return 0;
}

// The library has no notification for new records: look a few times a second.
int Follow(int argc, char** argv) {
    DWORD seconds = INFINITE;
    if (argc > 0 && !ParseNumber(argv[0], &seconds)) {
        return 2;
    }
    std::puts("following the event log (Ctrl+C ends)");
    std::fflush(stdout);
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    size_t printed = 0;
    BOOL restart = TRUE;
    while (seconds == INFINITE || ::GetTickCount64() < end) {
        if (!PrintNewRecords(restart, &printed)) {
            return 1;
        }
        restart = FALSE;
        ::Sleep(250);
    }
    return 0;
}

int Clear() {
    if (HVTClearEventLog() != 1) {
        std::fputs("evtlog: the log could not be locked\n", stderr);
        return 1;
    }
    std::puts("log cleared");
    return 0;
}

int Log(int argc, char** argv) {
    DWORD values[3] = {0, 0, 0};
    if (argc < 1 || argc > 3) {
        return Usage();
    }
    for (int i = 0; i < argc; ++i) {
        if (!ParseNumber(argv[i], &values[i])) {
            return 2;
        }
    }
    DWORD status = HVTLogEvent(values[0], values[1], values[2]);
    std::printf("logged 0x%08lX: %s\n", static_cast<unsigned long>(values[0]),
                evtlog::StatusText(status).c_str());
    return status == hvt::EVTLOG_SUCCESS ? 0 : 1;
}

int ShowFilter() {
    HVTFacilityFilter entries[hvt::MaxFacilityEntries];
    DWORD codes[hvt::MaxExplicitCodes];
    WORD entryCount = 0, mask = 0, codeCount = 0;
    DWORD status = HVTGetEventFilter(hvt::EventFilterVersion, entries, hvt::MaxFacilityEntries,
                                     &entryCount, &mask, codes, hvt::MaxExplicitCodes, &codeCount);
    if (status != hvt::EVTLOG_SUCCESS) {
        std::fprintf(stderr, "evtlog: reading the filter failed: %s\n",
                     evtlog::StatusText(status).c_str());
        return 1;
    }
    std::printf("default class mask 0x%X:", mask);
    for (DWORD severity = 0; severity < 4; ++severity) {
        if (mask & (1u << severity)) {
            std::printf(" %s", evtlog::ClassName(severity));
        }
    }
    std::printf("\n%u facility entr%s\n", entryCount, entryCount == 1 ? "y" : "ies");
    for (WORD i = 0; i < entryCount; ++i) {
        std::printf("  facility 0x%03X  class mask 0x%X\n", entries[i].facility,
                    entries[i].classMask);
    }
    std::printf("%u code(s) always recorded\n", codeCount);
    for (WORD i = 0; i < codeCount; ++i) {
        std::printf("  0x%08lX\n", static_cast<unsigned long>(codes[i]));
    }
    return 0;
}

int SetFilter(int argc, char** argv) {
    if (argc < 1) {
        return Usage();
    }
    DWORD mask = 0;
    if (!ParseNumber(argv[0], &mask)) {
        return 2;
    }
    std::vector<HVTFacilityFilter> entries;
    std::vector<DWORD> codes;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        size_t colon = arg.find(':');
        DWORD first = 0, second = 0;
        if (colon == std::string::npos) {
            if (!ParseNumber(arg.c_str(), &first)) {
                return 2;
            }
            codes.push_back(first);
        } else {
            if (!ParseNumber(arg.substr(0, colon).c_str(), &first) ||
                !ParseNumber(arg.substr(colon + 1).c_str(), &second)) {
                return 2;
            }
            entries.push_back({static_cast<WORD>(first), static_cast<WORD>(second)});
        }
    }
    DWORD status = HVTSetEventFilter(hvt::EventFilterVersion, entries.data(),
                                     static_cast<WORD>(entries.size()), static_cast<WORD>(mask),
                                     codes.data(), static_cast<WORD>(codes.size()));
    if (status != hvt::EVTLOG_SUCCESS) {
        std::fprintf(stderr, "evtlog: the filter was refused: %s\n",
                     evtlog::StatusText(status).c_str());
        return 1;
    }
    return ShowFilter();
}

int ShowTrace() {
    DWORD criteria = 0, type = 0, state = 0;
    if (HVTGetTracePointCriteria(&criteria, &type) != 1 || HVTGetTracePointStatus(&state) != 1) {
        std::fputs("evtlog: the log could not be locked\n", stderr);
        return 1;
    }
    std::printf("trace point: criteria 0x%08lX, type %s, %s\n",
                static_cast<unsigned long>(criteria), evtlog::TraceTypeName(type).c_str(),
                evtlog::TraceStateName(state).c_str());
    return 0;
}

int Trace(int argc, char** argv) {
    if (argc == 0) {
        return ShowTrace();
    }
    if (std::strcmp(argv[0], "reset") == 0 && argc == 1) {
        if (HVTResetTracePoint() != 1) {
            std::fputs("evtlog: the log could not be locked\n", stderr);
            return 1;
        }
        return ShowTrace();
    }
    if (std::strcmp(argv[0], "set") == 0 && argc == 3) {
        DWORD criteria = 0, type = 0;
        if (!ParseNumber(argv[1], &criteria) || !ParseNumber(argv[2], &type)) {
            return 2;
        }
        if (HVTSetTracePointCriteria(criteria, type) != 1) {
            std::fputs("evtlog: the log could not be locked\n", stderr);
            return 1;
        }
        return ShowTrace();
    }
    return Usage();
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "dump";
    int restCount = argc > 2 ? argc - 2 : 0;
    char** rest = argv + 2;
    if (command == "dump" && restCount == 0) {
        return Dump();
    }
    if (command == "follow") {
        return Follow(restCount, rest);
    }
    if (command == "clear" && restCount == 0) {
        return Clear();
    }
    if (command == "log") {
        return Log(restCount, rest);
    }
    if (command == "filter" && restCount == 0) {
        return ShowFilter();
    }
    if (command == "filter" && std::strcmp(rest[0], "set") == 0) {
        return SetFilter(restCount - 1, rest + 1);
    }
    if (command == "trace") {
        return Trace(restCount, rest);
    }
    return Usage();
}
