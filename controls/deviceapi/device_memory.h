// Memory: memory status and the division of memory between programs and the object store.
#pragma once

#include "MXQRAPI.h"
#include "frame/object.h"

class Memory final : public frame::Object<Memory, IMemory> {
public:
    static const frame::ObjectClass& Class();

    HRESULT STDMETHODCALLTYPE get_MemoryLoad(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_TotalPhysicalMemory(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE SetSystemMemoryStoragePages(
        LONG NewPageAllocation, MXQRAPISysMemoryChangeStatus* pVal) override;
    HRESULT STDMETHODCALLTYPE get_AvailablePhysicalMemory(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_TotalPageFileMemory(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_AvailablePageFileMemory(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_TotalVirtualMemory(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_AvailableVirtualMemory(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_SystemMemoryStoragePages(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_SystemMemoryRAMPages(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_SystemMemoryPageSize(LONG* pVal) override;
};
