#include "script_host.h"

#include <objsafe.h>

#include "common/handle.h"
#include "event_sink.h"
#include "host_object.h"
#include "script_site.h"

namespace scripthost {
namespace {

void WriteLine(DWORD which, const std::wstring& text) {
    HANDLE out = ::GetStdHandle(which);
    if (out == nullptr || out == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::wstring line = text + L"\r\n";
    const int size = ::WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, line.data(), static_cast<int>(line.size()), bytes.data(), size,
                          nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring HexCode(HRESULT hr) {
    wchar_t text[16];
    ::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// Text for an error that the engine left without a description.
std::wstring DescribeCode(HRESULT code, const wchar_t* source) {
    static const struct {
        HRESULT code;
        const wchar_t* text;
    } kTexts[] = {
        {DISP_E_DIVBYZERO, L"Division by zero"},
        {DISP_E_OVERFLOW, L"Overflow"},
        {DISP_E_TYPEMISMATCH, L"Type mismatch"},
        {DISP_E_BADINDEX, L"Subscript out of range"},
        {DISP_E_UNKNOWNNAME, L"Object doesn't support this property or method"},
        {DISP_E_MEMBERNOTFOUND, L"Object doesn't support this property or method"},
        {DISP_E_BADPARAMCOUNT, L"Wrong number of arguments or invalid property assignment"},
    };
    if (source != nullptr && ::wcsstr(source, L"compilation") != nullptr) {
        return L"Syntax error (" + HexCode(code) + L")";
    }
    for (const auto& known : kTexts) {
        if (known.code == code) {
            return std::wstring(known.text) + L" (" + HexCode(code) + L")";
        }
    }
    wchar_t* message = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    common::UniqueLocal owner(message);
    std::wstring text;
    if (length > 0 && message != nullptr) {
        text.assign(message, length);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' ||
                                 text.back() == L' ' || text.back() == L'.')) {
            text.pop_back();
        }
    }
    if (text.empty()) {
        text = L"Error";
    }
    return text + L" (" + HexCode(code) + L")";
}

} // namespace

bool ReadScriptText(const std::wstring& path, std::wstring& text) {
    common::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > 16 * 1024 * 1024) {
        return false;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        return false;
    }
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
        return true;
    }
    UINT codePage = CP_ACP;
    size_t start = 0;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        codePage = CP_UTF8;
        start = 3;
    }
    const int chars = ::MultiByteToWideChar(codePage, 0, bytes.data() + start,
                                            static_cast<int>(bytes.size() - start), nullptr, 0);
    text.assign(static_cast<size_t>(chars), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data() + start, static_cast<int>(bytes.size() - start),
                          text.data(), chars);
    return true;
}

ScriptHost::ScriptHost(std::wstring scriptPath, std::vector<std::wstring> arguments)
    : scriptPath_(std::move(scriptPath)), arguments_(std::move(arguments)),
      site_(common::ComPtr<ScriptSite>::attach(new ScriptSite(this))),
      hostObject_(CreateHostObject(*this)) {}

ScriptHost::~ScriptHost() {
    StopEngine();
    site_->Detach();
}

int ScriptHost::Run() {
    if (!ReadScriptText(scriptPath_, text_)) {
        WriteError(scriptPath_ + L": cannot read the script (error " +
                   std::to_wstring(::GetLastError()) + L")");
        return kExitCannotStart;
    }
    const size_t slash = scriptPath_.find_last_of(L"\\/");
    const std::wstring title =
        slash == std::wstring::npos ? scriptPath_ : scriptPath_.substr(slash + 1);
    if (!form_.Create(title, [this] { Quit(0); })) {
        WriteError(L"Cannot create the form (error " + std::to_wstring(::GetLastError()) + L")");
        return kExitCannotStart;
    }
    HRESULT hr = StartEngine(text_);
    if (FAILED(hr) && !errorReported_ && !ending_) {
        WriteError(scriptPath_ + L": the script engine failed (" + HexCode(hr) + L")");
        Quit(kExitCannotStart);
    }
    while (!ending_) {
        ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        PumpPending();
    }
    StopEngine();
    return exitCode_;
}

HRESULT ScriptHost::StartEngine(const std::wstring& text) {
    CLSID vbscript = {};
    HRESULT hr = ::CLSIDFromProgID(L"VBScript", &vbscript);
    if (FAILED(hr)) {
        return hr;
    }
    hr = ::CoCreateInstance(vbscript, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                            engine_.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    common::ComPtr<IActiveScriptParse> parse = engine_.as<IActiveScriptParse>();
    if (!parse) {
        return E_NOINTERFACE;
    }
    // With a security manager on its site the engine shows every object that
    // its CreateObject makes to the host, which sites the controls among them.
    if (common::ComPtr<IObjectSafety> safety = engine_.as<IObjectSafety>(IID_IObjectSafety)) {
        safety->SetInterfaceSafetyOptions(__uuidof(IActiveScriptParse),
                                          INTERFACE_USES_SECURITY_MANAGER,
                                          INTERFACE_USES_SECURITY_MANAGER);
    }
    hr = engine_->SetScriptSite(static_cast<IActiveScriptSite*>(site_.get()));
    if (FAILED(hr)) {
        return hr;
    }
    hr = parse->InitNew();
    if (FAILED(hr)) {
        return hr;
    }
    hr = engine_->AddNamedItem(L"Host", SCRIPTITEM_ISVISIBLE);
    if (FAILED(hr)) {
        return hr;
    }
    EXCEPINFO error = {};
    hr = parse->ParseScriptText(text.c_str(), nullptr, nullptr, nullptr, 0, 0, SCRIPTTEXT_ISVISIBLE,
                                nullptr, &error);
    ::SysFreeString(error.bstrSource);
    ::SysFreeString(error.bstrDescription);
    ::SysFreeString(error.bstrHelpFile);
    if (FAILED(hr)) {
        return hr;
    }
    return ending_ ? S_OK : engine_->SetScriptState(SCRIPTSTATE_CONNECTED);
}

void ScriptHost::StopEngine() {
    for (auto it = connections_.rbegin(); it != connections_.rend(); ++it) {
        it->point->Unadvise(it->cookie);
    }
    connections_.clear();
    if (engine_) {
        engine_->Close();
        engine_.reset();
    }
    // The script's variables are gone; the form lets go of the controls last.
    form_.CloseAll();
}

std::wstring ScriptHost::ScriptLine(ULONG line) const {
    size_t start = 0;
    for (ULONG i = 0; i < line && start != std::wstring::npos; ++i) {
        start = text_.find(L'\n', start);
        if (start != std::wstring::npos) {
            ++start;
        }
    }
    if (start == std::wstring::npos || start >= text_.size()) {
        return {};
    }
    std::wstring result = text_.substr(start, text_.find(L'\n', start) - start);
    while (!result.empty() && (result.back() == L'\r' || result.back() == L' ')) {
        result.pop_back();
    }
    const size_t first = result.find_first_not_of(L" \t");
    return first == std::wstring::npos ? std::wstring() : result.substr(first);
}

void ScriptHost::PumpPending() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void ScriptHost::Echo(const std::wstring& line) {
    WriteLine(STD_OUTPUT_HANDLE, line);
}

void ScriptHost::WriteError(const std::wstring& text) {
    WriteLine(STD_ERROR_HANDLE, text);
}

HRESULT ScriptHost::Sleep(LONG milliseconds) {
    const DWORD start = ::GetTickCount();
    const DWORD span = milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0;
    for (;;) {
        PumpPending();
        const DWORD passed = ::GetTickCount() - start;
        if (ending_ || passed >= span) {
            break;
        }
        ::MsgWaitForMultipleObjectsEx(0, nullptr, span - passed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return ending_ ? kRunEnding : S_OK;
}

void ScriptHost::Quit(int exitCode) {
    if (!ending_) {
        ending_ = true;
        endingSince_ = ::GetTickCount();
        exitCode_ = exitCode;
    }
    // Wakes the message loop.
    ::PostMessageW(form_.Window(), WM_NULL, 0, 0);
}

void ScriptHost::CalledWhileEnding() {
    constexpr DWORD kGraceMs = 3000;
    if (ending_ && ::GetTickCount() - endingSince_ > kGraceMs) {
        ::ExitProcess(static_cast<UINT>(exitCode_));
    }
}

void ScriptHost::ScriptError(IActiveScriptError* error) {
    // The unwinding that Quit and the closed form start is no error.
    if (ending_) {
        return;
    }
    DWORD context = 0;
    ULONG line = 0;
    LONG column = 0;
    if (FAILED(error->GetSourcePosition(&context, &line, &column))) {
        line = 0;
        column = 0;
    }
    EXCEPINFO info = {};
    error->GetExceptionInfo(&info);
    if (info.pfnDeferredFillIn != nullptr) {
        info.pfnDeferredFillIn(&info);
    }
    std::wstring text = scriptPath_ + L"(" + std::to_wstring(line + 1) + L", " +
                        std::to_wstring(column + 1) + L") ";
    if (info.bstrSource != nullptr && info.bstrSource[0] != L'\0') {
        text += std::wstring(info.bstrSource) + L": ";
    }
    const HRESULT code = info.scode != 0 ? info.scode : static_cast<HRESULT>(info.wCode);
    if (info.bstrDescription != nullptr && info.bstrDescription[0] != L'\0') {
        text += info.bstrDescription;
    } else {
        text += DescribeCode(code, info.bstrSource);
    }
    const std::wstring lineText = ScriptLine(line);
    if (!lineText.empty()) {
        text += L"\r\n    " + lineText;
    }
    ::SysFreeString(info.bstrSource);
    ::SysFreeString(info.bstrDescription);
    ::SysFreeString(info.bstrHelpFile);
    WriteError(text);
    errorReported_ = true;
    Quit(kExitScriptError);
}

common::ComPtr<IDispatchEx> ScriptHost::ScriptNames() {
    common::ComPtr<IDispatch> names;
    if (!engine_ || FAILED(engine_->GetScriptDispatch(nullptr, names.put()))) {
        return {};
    }
    return names.as<IDispatchEx>(__uuidof(IDispatchEx));
}

void ScriptHost::ObjectCreated(IUnknown* object) {
    if (object != nullptr) {
        form_.Site(object);
    }
}

HRESULT ScriptHost::Connect(IUnknown* source, const std::wstring& prefix, std::wstring& why) {
    IID iid = {};
    std::map<DISPID, std::wstring> names;
    HRESULT hr = FindEvents(source, iid, names);
    if (FAILED(hr)) {
        why = L"Connect: the object describes no events (" + HexCode(hr) + L")";
        return hr;
    }
    common::ComPtr<IConnectionPointContainer> points;
    common::ComPtr<IConnectionPoint> point;
    hr = source->QueryInterface(IID_IConnectionPointContainer, points.put_void());
    if (SUCCEEDED(hr)) {
        hr = points->FindConnectionPoint(iid, point.put());
    }
    if (FAILED(hr)) {
        why = L"Connect: the object has no connection point for its events (" + HexCode(hr) + L")";
        return hr;
    }
    common::ComPtr<IDispatch> sink = CreateEventSink(*this, iid, prefix, std::move(names));
    DWORD cookie = 0;
    hr = point->Advise(sink.get(), &cookie);
    if (FAILED(hr)) {
        why = L"Connect: the object refused the connection (" + HexCode(hr) + L")";
        return hr;
    }
    connections_.push_back({std::move(point), cookie});
    return S_OK;
}

HRESULT ScriptHost::CreateControl(const std::wstring& progId, IDispatch** object,
                                  std::wstring& why) {
    CLSID clsid = {};
    HRESULT hr = ::CLSIDFromProgID(progId.c_str(), &clsid);
    common::ComPtr<IUnknown> created;
    if (SUCCEEDED(hr)) {
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IUnknown, created.put_void());
    }
    if (SUCCEEDED(hr)) {
        hr = form_.Site(created.get());
    }
    if (SUCCEEDED(hr)) {
        hr = created->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(object));
    }
    if (FAILED(hr)) {
        why = L"CreateControl: cannot create " + progId + L" (" + HexCode(hr) + L")";
    }
    return hr;
}

} // namespace scripthost
