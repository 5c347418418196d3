// The reader side of "Harvanti.BarCodeReader": IReaderDevice and
// IReaderQueue over one device of the scan desk. It lives inside the
// BarCodeReader object and answers for it.
#pragma once

#include <windows.h>

#include <string>

#include "HVTDataServer.h"
#include "common/handle.h"
#include "scan_desk.h"

namespace dataserver {

class ReaderDevice final : public IReaderDevice, public IReaderQueue {
public:
    // `owner` is the object this one is part of: it holds the references.
    explicit ReaderDevice(IUnknown* owner);
    ReaderDevice(const ReaderDevice&) = delete;
    ReaderDevice& operator=(const ReaderDevice&) = delete;
    ~ReaderDevice();

    // IReaderDevice or IReaderQueue of this object; anything else of the owner.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return owner_->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return owner_->Release(); }

    // IReaderDevice
    STDMETHODIMP Open(BSTR deviceName, LONG mode) override;
    STDMETHODIMP Read(unsigned char* buffer, LONG bufferSize, LONG* byteCount, ReadInfo* info,
                      LONG timeout) override;
    STDMETHODIMP CancelRead(LONG flush, LONG* readsCancelled, LONG* scansFlushed) override;
    STDMETHODIMP GetAttribute(LONG attribute, unsigned char* buffer, LONG size) override;
    STDMETHODIMP SetAttribute(LONG attribute, unsigned char* buffer, LONG size) override;
    STDMETHODIMP ControlScanner(LONG on) override;
    STDMETHODIMP IssueBeeps(BeepRecord* beeps, LONG count) override;
    STDMETHODIMP Close() override;
    STDMETHODIMP ControlLED(LONG led, LONG on) override;

    // IReaderQueue
    STDMETHODIMP FlushQueue() override;
    STDMETHODIMP GetQueueCapacity(LONG* messages) override;
    STDMETHODIMP GetOpenMode(LONG* mode) override;
    STDMETHODIMP GetOpenName(BSTR* deviceName) override;
    STDMETHODIMP GetReadCount(LONG* reads) override;
    STDMETHODIMP PeekNextSymbology(LONG* symbology) override;
    STDMETHODIMP QueryData(LONG* totalBytes, short* messageCount, LONG* nextMessageSize) override;

private:
    // The open device's name; empty while closed.
    std::wstring OpenName();
    HRESULT Forced(const std::wstring& name, Operation operation, long attribute = -1);

    IUnknown* owner_;
    ScanDesk desk_;
    CRITICAL_SECTION lock_;
    // Guarded by lock_: the device, and the read in progress.
    std::wstring name_;
    long mode_ = 0;
    bool reading_ = false;
    bool cancel_ = false;
    long reads_ = 0;
    // Wakes a blocked Read: a change on the desk, or CancelRead.
    DWORD wakeSerial_;
    common::UniqueKernel wake_;
};

} // namespace dataserver
