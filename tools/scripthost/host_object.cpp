#include "host_object.h"

#include <string>

#include "named_dispatch.h"
#include "script_host.h"

namespace scripthost {
namespace {

std::wstring HexCode(HRESULT hr) {
    wchar_t text[16];
    ::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// A list box on the form: Add, Clear, Count, Item(index), Hwnd.
class HostList final : public NamedDispatch {
public:
    enum : DISPID { kItem = DISPID_VALUE, kAdd = 1, kClear, kCount, kHwnd };

    explicit HostList(HWND list) noexcept : NamedDispatch(kMembers), list_(list) {}
    HWND List() const noexcept { return list_; }

private:
    static constexpr Member kMembers[] = {{L"Item", kItem},   {L"Add", kAdd},   {L"Clear", kClear},
                                          {L"Count", kCount}, {L"Hwnd", kHwnd}, {nullptr, 0}};

    HRESULT Call(DISPID id, WORD, DISPPARAMS& params, VARIANT* result, EXCEPINFO* error) override {
        if (!::IsWindow(list_)) {
            return Fail(error, E_HANDLE, L"The list has gone with its form");
        }
        switch (id) {
        case kAdd: {
            std::wstring text;
            if (!StringArgument(params, 0, text)) {
                return DISP_E_TYPEMISMATCH;
            }
            const LRESULT index =
                ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            if (index < 0) {
                return Fail(error, E_OUTOFMEMORY, L"The list is full");
            }
            // The newest entry is the one a person wants to see.
            ::SendMessageW(list_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            SetResult(result, static_cast<LONG>(index));
            return S_OK;
        }
        case kClear:
            ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
            return S_OK;
        case kCount:
            SetResult(result, static_cast<LONG>(::SendMessageW(list_, LB_GETCOUNT, 0, 0)));
            return S_OK;
        case kItem: {
            LONG index = 0;
            if (!LongArgument(params, 0, index)) {
                return DISP_E_TYPEMISMATCH;
            }
            const LRESULT length = ::SendMessageW(list_, LB_GETTEXTLEN, index, 0);
            if (index < 0 || length < 0) {
                return DISP_E_BADINDEX;
            }
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            ::SendMessageW(list_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<size_t>(length));
            SetResult(result, text);
            return S_OK;
        }
        case kHwnd:
            SetResult(result, static_cast<LONG>(reinterpret_cast<INT_PTR>(list_)));
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

    HWND list_;
};

class HostObject final : public NamedDispatch {
public:
    enum : DISPID {
        kEcho = 1,
        kSleep,
        kQuit,
        kArguments,
        kConnect,
        kCreateControl,
        kPlace,
        kCreateList,
        kCaption,
        kScriptFullName,
        kScriptName,
        kWindow,
    };

    explicit HostObject(ScriptHost& host) noexcept : NamedDispatch(kMembers), host_(host) {}

private:
    static constexpr Member kMembers[] = {
        {L"Echo", kEcho},
        {L"Sleep", kSleep},
        {L"Quit", kQuit},
        {L"Arguments", kArguments},
        {L"Connect", kConnect},
        {L"CreateControl", kCreateControl},
        {L"Place", kPlace},
        {L"CreateList", kCreateList},
        {L"Caption", kCaption},
        {L"ScriptFullName", kScriptFullName},
        {L"ScriptName", kScriptName},
        {L"Window", kWindow},
        {nullptr, 0},
    };

    HRESULT Call(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result,
                 EXCEPINFO* error) override {
        // Once the run ends, every call unwinds the script that is still running.
        if (host_.Ending()) {
            host_.CalledWhileEnding();
            return kRunEnding;
        }
        switch (id) {
        case kEcho:
            return Echo(params);
        case kSleep: {
            LONG milliseconds = 0;
            if (!LongArgument(params, 0, milliseconds)) {
                return DISP_E_TYPEMISMATCH;
            }
            return host_.Sleep(milliseconds);
        }
        case kQuit: {
            LONG code = 0;
            if (params.cArgs > 0 && !LongArgument(params, 0, code)) {
                return DISP_E_TYPEMISMATCH;
            }
            host_.Quit(static_cast<int>(code));
            return kRunEnding;
        }
        case kArguments:
            return Arguments(params, result);
        case kConnect: {
            common::ComPtr<IUnknown> source = ObjectArgument(params, 0);
            std::wstring prefix;
            if (!source || !StringArgument(params, 1, prefix)) {
                return DISP_E_TYPEMISMATCH;
            }
            std::wstring why;
            HRESULT hr = host_.Connect(source.get(), prefix, why);
            return FAILED(hr) ? Fail(error, hr, why) : S_OK;
        }
        case kCreateControl: {
            std::wstring progId;
            if (!StringArgument(params, 0, progId)) {
                return DISP_E_TYPEMISMATCH;
            }
            common::ComPtr<IDispatch> object;
            std::wstring why;
            HRESULT hr = host_.CreateControl(progId, object.put(), why);
            if (FAILED(hr)) {
                return Fail(error, hr, why);
            }
            SetResult(result, object.get());
            return S_OK;
        }
        case kPlace:
            return Place(params, error);
        case kCreateList: {
            HWND list = host_.GetForm().AddList();
            if (list == nullptr) {
                return Fail(error, E_FAIL, L"Cannot create a list on the form");
            }
            auto* object = new HostList(list);
            host_.GetForm().NameList(list, object);
            SetResult(result, object);
            object->Release();
            return S_OK;
        }
        case kCaption:
            if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
                std::wstring text;
                if (!StringArgument(params, 0, text)) {
                    return DISP_E_TYPEMISMATCH;
                }
                ::SetWindowTextW(host_.GetForm().Window(), text.c_str());
                return S_OK;
            } else {
                wchar_t text[256] = {};
                ::GetWindowTextW(host_.GetForm().Window(), text, 256);
                SetResult(result, std::wstring(text));
                return S_OK;
            }
        case kScriptFullName:
            SetResult(result, host_.ScriptPath());
            return S_OK;
        case kScriptName: {
            const std::wstring& path = host_.ScriptPath();
            const size_t slash = path.find_last_of(L"\\/");
            SetResult(result, slash == std::wstring::npos ? path : path.substr(slash + 1));
            return S_OK;
        }
        case kWindow:
            SetResult(result,
                      static_cast<LONG>(reinterpret_cast<INT_PTR>(host_.GetForm().Window())));
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
        }
    }

    // Echo a, b, ...: the arguments as text, separated by spaces, one line.
    HRESULT Echo(const DISPPARAMS& params) {
        std::wstring line;
        for (UINT i = 0; i < params.cArgs; ++i) {
            std::wstring text;
            if (!StringArgument(params, i, text)) {
                common::UniqueVariant arg = Argument(params, i);
                text = arg->vt == VT_NULL ? L"Null" : L"";
            }
            if (i > 0) {
                line += L' ';
            }
            line += text;
        }
        host_.Echo(line);
        return S_OK;
    }

    // Arguments: the array of the script's arguments; Arguments(i): one of them.
    HRESULT Arguments(const DISPPARAMS& params, VARIANT* result) {
        const std::vector<std::wstring>& arguments = host_.Arguments();
        if (params.cArgs > 0) {
            LONG index = 0;
            if (!LongArgument(params, 0, index)) {
                return DISP_E_TYPEMISMATCH;
            }
            if (index < 0 || static_cast<size_t>(index) >= arguments.size()) {
                return DISP_E_BADINDEX;
            }
            SetResult(result, arguments[static_cast<size_t>(index)]);
            return S_OK;
        }
        if (result == nullptr) {
            return S_OK;
        }
        SAFEARRAY* array =
            ::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(arguments.size()));
        if (array == nullptr) {
            return E_OUTOFMEMORY;
        }
        for (LONG i = 0; i < static_cast<LONG>(arguments.size()); ++i) {
            common::UniqueVariant item;
            SetResult(item.get(), arguments[static_cast<size_t>(i)]);
            ::SafeArrayPutElement(array, &i, item.get());
        }
        result->vt = VT_ARRAY | VT_VARIANT;
        result->parray = array;
        return S_OK;
    }

    // Place object, left, top, width, height (form pixels).
    HRESULT Place(const DISPPARAMS& params, EXCEPINFO* error) {
        common::ComPtr<IUnknown> target = ObjectArgument(params, 0);
        LONG box[4] = {};
        if (!target) {
            return DISP_E_TYPEMISMATCH;
        }
        for (UINT i = 0; i < 4; ++i) {
            if (!LongArgument(params, i + 1, box[i])) {
                return DISP_E_TYPEMISMATCH;
            }
        }
        const RECT position = {box[0], box[1], box[0] + box[2], box[1] + box[3]};
        HRESULT hr = host_.GetForm().Place(target.get(), position);
        if (FAILED(hr)) {
            return Fail(error, hr, L"Place: the object is not on the form (" + HexCode(hr) + L")");
        }
        return S_OK;
    }

    ScriptHost& host_;
};

} // namespace

common::ComPtr<IDispatch> CreateHostObject(ScriptHost& host) {
    return common::ComPtr<IDispatch>::attach(new HostObject(host));
}

} // namespace scripthost
