#include "device_memory.h"

const MEMORYSTATUS& Memory::Refresh() noexcept {
    status_.dwLength = sizeof(status_);
    ::GlobalMemoryStatus(&status_);
    return status_;
}

HRESULT Memory::GetDivision(int which, LONG* value) noexcept {
    if (value == nullptr) {
        return E_POINTER;
    }
    DWORD answers[3] = {};
    if (!GetSystemMemoryDivision(&answers[0], &answers[1], &answers[2])) {
        answers[which] = 0;
    }
    *value = static_cast<LONG>(answers[which]);
    return S_OK;
}

const frame::ObjectClass& Memory::Class() {
    static const frame::ObjectClass cls = {&CLSID_Memory, &IID_IMemory, &DIID__IMemoryEvents};
    return cls;
}

HRESULT Memory::get_MemoryLoad(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().dwMemoryLoad);
    return S_OK;
}

HRESULT Memory::get_TotalPhysicalMemory(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().dwTotalPhys);
    return S_OK;
}

HRESULT Memory::SetSystemMemoryStoragePages(LONG NewPageAllocation,
                                            MXQRAPISysMemoryChangeStatus* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<MXQRAPISysMemoryChangeStatus>(
        SetSystemMemoryDivision(static_cast<DWORD>(NewPageAllocation)));
    return S_OK;
}

HRESULT Memory::get_AvailablePhysicalMemory(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().dwAvailPhys);
    return S_OK;
}

HRESULT Memory::get_TotalPageFileMemory(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().dwTotalPageFile);
    return S_OK;
}

HRESULT Memory::get_AvailablePageFileMemory(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().dwAvailPageFile);
    return S_OK;
}

HRESULT Memory::get_TotalVirtualMemory(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().dwTotalVirtual);
    return S_OK;
}

HRESULT Memory::get_AvailableVirtualMemory(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(Refresh().dwAvailVirtual);
    return S_OK;
}

HRESULT Memory::get_SystemMemoryStoragePages(LONG* pVal) {
    return GetDivision(0, pVal);
}

HRESULT Memory::get_SystemMemoryRAMPages(LONG* pVal) {
    return GetDivision(1, pVal);
}

HRESULT Memory::get_SystemMemoryPageSize(LONG* pVal) {
    return GetDivision(2, pVal);
}
