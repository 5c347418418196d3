#include "device_memory.h"

const frame::ObjectClass& Memory::Class() {
    static const frame::ObjectClass cls = {&CLSID_Memory, &IID_IMemory, &DIID__IMemoryEvents};
    return cls;
}

HRESULT Memory::get_MemoryLoad(LONG*) {
    return E_NOTIMPL;
}

HRESULT Memory::get_TotalPhysicalMemory(LONG*) {
    return E_NOTIMPL;
}

HRESULT Memory::SetSystemMemoryStoragePages(LONG, MXQRAPISysMemoryChangeStatus*) {
    return E_NOTIMPL;
}

HRESULT Memory::get_AvailablePhysicalMemory(LONG*) {
    return E_NOTIMPL;
}

HRESULT Memory::get_TotalPageFileMemory(LONG*) {
    return E_NOTIMPL;
}

HRESULT Memory::get_AvailablePageFileMemory(LONG*) {
    return E_NOTIMPL;
}

HRESULT Memory::get_TotalVirtualMemory(LONG*) {
    return E_NOTIMPL;
}

HRESULT Memory::get_AvailableVirtualMemory(LONG*) {
    return E_NOTIMPL;
}

HRESULT Memory::get_SystemMemoryStoragePages(LONG*) {
    return E_NOTIMPL;
}

HRESULT Memory::get_SystemMemoryRAMPages(LONG*) {
    return E_NOTIMPL;
}

HRESULT Memory::get_SystemMemoryPageSize(LONG*) {
    return E_NOTIMPL;
}
