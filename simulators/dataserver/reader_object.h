// The "Harvanti.BarCodeReader" object: an in-process face of the data server
// process. Each call is one request to the data server.
#pragma once

#include <windows.h>

#include <string>

#include "HVTDataServer.h"
#include "reader_device.h"
#include "server_link.h"

namespace dataserver {

// Objects and locks alive in this module (for DllCanUnloadNow).
extern LONG g_moduleReferences;

class BarCodeReader final : public IBarCodeReaderConfig {
public:
    BarCodeReader();
    ~BarCodeReader();
    BarCodeReader(const BarCodeReader&) = delete;
    BarCodeReader& operator=(const BarCodeReader&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IBarCodeReaderConfig
    STDMETHODIMP Initialize(BSTR deviceName, long deviceNumber) override;
    STDMETHODIMP GetDeviceName(BSTR* deviceName) override;
    STDMETHODIMP GetDeviceNumber(long* deviceNumber) override;
    STDMETHODIMP GetPortName(BSTR* portName) override;
    STDMETHODIMP GetServerProcessId(long* processId) override;
    STDMETHODIMP GetPortHeld(long* held) override;
    STDMETHODIMP ReleasePort() override;
    STDMETHODIMP AcquirePort() override;
    STDMETHODIMP GetLastDownloadStatus(long* status) override;
    STDMETHODIMP GetLastDownloadDescription(BSTR* description) override;
    STDMETHODIMP GetDownloadCount(long* count) override;
    STDMETHODIMP GetUpgradeLibraryPath(BSTR* path) override;
    STDMETHODIMP SetRequestTimeout(long milliseconds) override;
    STDMETHODIMP GetRequestTimeout(long* milliseconds) override;
    STDMETHODIMP StopServer() override;
    STDMETHODIMP DownloadBarcodeReader(BSTR description) override;

private:
    // One request; the reply's status when the exchange itself worked.
    HRESULT Ask(Command command, Reply& reply, const std::wstring& text = L"") const;
    HRESULT AskNumber(Command command, long* value) const;
    HRESULT AskText(Command command, BSTR* text) const;

    LONG references_ = 1;
    // Written by Initialize and SetRequestTimeout; read by every call.
    mutable CRITICAL_SECTION lock_;
    std::wstring deviceName_;
    long deviceNumber_ = 0;
    bool initialized_ = false;
    DWORD timeoutMs_;
    // The reader interfaces of the same object.
    ReaderDevice device_{static_cast<IBarCodeReaderConfig*>(this)};
};

} // namespace dataserver
