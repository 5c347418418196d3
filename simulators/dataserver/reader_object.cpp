#include "reader_object.h"

namespace dataserver {

LONG g_moduleReferences = 0;

namespace {

constexpr DWORD kDefaultRequestTimeoutMs = 5000;
// A download takes from seconds to minutes; a data server that has not
// answered after this long has failed.
constexpr DWORD kDownloadTimeoutMs = 30 * 60 * 1000;

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) : section_(section) {
        ::EnterCriticalSection(&section_);
    }
    ~Lock() { ::LeaveCriticalSection(&section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& section_;
};

HRESULT NewBstr(const std::wstring& text, BSTR* out) {
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

} // namespace

BarCodeReader::BarCodeReader() : timeoutMs_(kDefaultRequestTimeoutMs) {
    ::InitializeCriticalSection(&lock_);
    ::InterlockedIncrement(&g_moduleReferences);
}

BarCodeReader::~BarCodeReader() {
    ::DeleteCriticalSection(&lock_);
    ::InterlockedDecrement(&g_moduleReferences);
}

STDMETHODIMP BarCodeReader::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBarCodeReaderConfig)) {
        *object = static_cast<IBarCodeReaderConfig*>(this);
        AddRef();
        return S_OK;
    }
    if (IsEqualIID(iid, IID_IReaderDevice) || IsEqualIID(iid, IID_IReaderQueue)) {
        return device_.QueryInterface(iid, object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) BarCodeReader::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

STDMETHODIMP_(ULONG) BarCodeReader::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT BarCodeReader::Ask(Command command, Reply& reply, const std::wstring& text) const {
    DWORD timeout = 0;
    {
        Lock hold(lock_);
        timeout = timeoutMs_;
    }
    if (command == Command::Download) {
        timeout = kDownloadTimeoutMs;
    }
    try {
        const HRESULT result = Call(command, text, timeout, reply);
        return FAILED(result) ? result : static_cast<HRESULT>(reply.status);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT BarCodeReader::AskNumber(Command command, long* value) const {
    if (value == nullptr) {
        return E_POINTER;
    }
    Reply reply{};
    const HRESULT result = Ask(command, reply);
    if (SUCCEEDED(result)) {
        *value = reply.value;
    }
    return result;
}

HRESULT BarCodeReader::AskText(Command command, BSTR* text) const {
    if (text == nullptr) {
        return E_POINTER;
    }
    *text = nullptr;
    Reply reply{};
    const HRESULT result = Ask(command, reply);
    if (FAILED(result)) {
        return result;
    }
    try {
        return NewBstr(reply.text, text);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP BarCodeReader::Initialize(BSTR deviceName, long deviceNumber) {
    if (deviceName == nullptr || ::SysStringLen(deviceName) == 0) {
        return E_INVALIDARG;
    }
    // The object is only of use while a data server answers.
    Reply reply{};
    const HRESULT result = Ask(Command::Ping, reply);
    if (FAILED(result)) {
        return result;
    }
    try {
        Lock hold(lock_);
        deviceName_.assign(deviceName, ::SysStringLen(deviceName));
        deviceNumber_ = deviceNumber;
        initialized_ = true;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP BarCodeReader::GetDeviceName(BSTR* deviceName) {
    if (deviceName == nullptr) {
        return E_POINTER;
    }
    try {
        Lock hold(lock_);
        return NewBstr(deviceName_, deviceName);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP BarCodeReader::GetDeviceNumber(long* deviceNumber) {
    if (deviceNumber == nullptr) {
        return E_POINTER;
    }
    Lock hold(lock_);
    *deviceNumber = deviceNumber_;
    return S_OK;
}

STDMETHODIMP BarCodeReader::GetPortName(BSTR* portName) {
    return AskText(Command::PortName, portName);
}

STDMETHODIMP BarCodeReader::GetServerProcessId(long* processId) {
    return AskNumber(Command::ProcessId, processId);
}

STDMETHODIMP BarCodeReader::GetPortHeld(long* held) {
    return AskNumber(Command::PortHeld, held);
}

STDMETHODIMP BarCodeReader::ReleasePort() {
    Reply reply{};
    return Ask(Command::ReleasePort, reply);
}

STDMETHODIMP BarCodeReader::AcquirePort() {
    Reply reply{};
    return Ask(Command::AcquirePort, reply);
}

STDMETHODIMP BarCodeReader::GetLastDownloadStatus(long* status) {
    return AskNumber(Command::LastStatus, status);
}

STDMETHODIMP BarCodeReader::GetLastDownloadDescription(BSTR* description) {
    return AskText(Command::LastDescription, description);
}

STDMETHODIMP BarCodeReader::GetDownloadCount(long* count) {
    return AskNumber(Command::DownloadCount, count);
}

STDMETHODIMP BarCodeReader::GetUpgradeLibraryPath(BSTR* path) {
    return AskText(Command::LibraryPath, path);
}

STDMETHODIMP BarCodeReader::SetRequestTimeout(long milliseconds) {
    if (milliseconds <= 0) {
        return E_INVALIDARG;
    }
    Lock hold(lock_);
    timeoutMs_ = static_cast<DWORD>(milliseconds);
    return S_OK;
}

STDMETHODIMP BarCodeReader::GetRequestTimeout(long* milliseconds) {
    if (milliseconds == nullptr) {
        return E_POINTER;
    }
    Lock hold(lock_);
    *milliseconds = static_cast<long>(timeoutMs_);
    return S_OK;
}

STDMETHODIMP BarCodeReader::StopServer() {
    Reply reply{};
    return Ask(Command::Stop, reply);
}

STDMETHODIMP BarCodeReader::DownloadBarcodeReader(BSTR description) {
    if (description == nullptr || ::SysStringLen(description) == 0) {
        return E_INVALIDARG;
    }
    if (::SysStringLen(description) >= kTextChars) {
        return E_INVALIDARG;
    }
    {
        Lock hold(lock_);
        if (!initialized_) {
            return E_UNEXPECTED;
        }
    }
    Reply reply{};
    try {
        return Ask(Command::Download, reply,
                   std::wstring(description, ::SysStringLen(description)));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace dataserver
