#include "engine/fault_text.h"

#include <cwchar>
#include <cwctype>

namespace engine {

namespace {

struct PointName {
    const wchar_t* name;
    Point point;
};

constexpr PointName PointNames[] = {
    {L"auto-baud", Point::AutoBaudAnswer},
    {L"download-accept", Point::DownloadAccept},
    {L"block-request", Point::BlockRequest},
    {L"block-number", Point::BlockNumber},
    {L"checksum-request", Point::ChecksumRequest},
    {L"download-complete", Point::DownloadComplete},
    {L"command-ack", Point::CommandAck},
    {L"command-done", Point::CommandDone},
    {L"flash-size", Point::FlashSize},
    {L"version", Point::VersionByte},
    {L"read-word", Point::ReadWordByte},
    {L"read-checksum", Point::ReadChecksumByte},
    {L"software-word", Point::SoftwareWordByte},
};

struct ActionName {
    const wchar_t* name;
    Action action;
};

constexpr ActionName ActionNames[] = {
    {L"silence", Action::Silence},
    {L"replace", Action::Replace},
    {L"corrupt", Action::Corrupt},
    {L"delay", Action::Delay},
};

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::wstring::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// A whole decimal or 0x hexadecimal number no greater than `maximum`.
bool ParseNumber(const std::wstring& text, unsigned long maximum, unsigned long* value) {
    if (text.empty() || text[0] == L'-' || text[0] == L'+' || std::iswspace(text[0])) {
        return false;
    }
    wchar_t* end = nullptr;
    unsigned long number = std::wcstoul(text.c_str(), &end, 0);
    if (end != text.c_str() + text.size() || number > maximum) {
        return false;
    }
    *value = number;
    return true;
}

// The value a name table gives `name`; false when the name is not in it.
template <typename Entry, size_t Count, typename Value>
bool Lookup(const Entry (&table)[Count], const std::wstring& name, Value Entry::*field,
            Value* value) {
    for (const Entry& entry : table) {
        if (name == entry.name) {
            *value = entry.*field;
            return true;
        }
    }
    return false;
}

} // namespace

bool ParseFault(const std::wstring& text, Fault* fault) {
    std::vector<std::wstring> parts = Split(text, L':');
    if (parts.size() < 2 || parts.size() > 5) {
        return false;
    }
    Fault parsed{};
    if (!Lookup(PointNames, parts[0], &PointName::point, &parsed.point) ||
        !Lookup(ActionNames, parts[1], &ActionName::action, &parsed.action)) {
        return false;
    }
    unsigned long number = 0;
    if (parts.size() > 2) {
        if (!ParseNumber(parts[2], MAXDWORD, &number)) {
            return false;
        }
        parsed.value = number;
    }
    if (parts.size() > 3 && parts[3] != L"any") {
        if (!ParseNumber(parts[3], 0xFE, &number)) { // 0xFF stands for any command
            return false;
        }
        parsed.command = static_cast<BYTE>(number);
    }
    if (parts.size() > 4 && parts[4] != L"every") {
        if (!ParseNumber(parts[4], 0x7FFFFFFF, &number)) {
            return false;
        }
        parsed.occurrence = static_cast<int>(number);
    }
    *fault = parsed;
    return true;
}

bool ParseBlockOrder(const std::wstring& text, std::vector<int>* order) {
    std::vector<int> parsed;
    for (const std::wstring& part : Split(text, L',')) {
        unsigned long block = 0;
        if (!ParseNumber(part, 255, &block)) {
            return false;
        }
        parsed.push_back(static_cast<int>(block));
    }
    *order = parsed;
    return true;
}

} // namespace engine
