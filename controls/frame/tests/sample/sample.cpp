#include "sample.h"

namespace {

constexpr UINT kRaiseMessage = WM_APP + 1;

enum : DISPID {
    kText = 1,
    kNumber = 2,
    kFlag = 3,
    kScratch = 4,
};

const frame::Property kProperties[] = {
    {L"Number", kNumber, true},
    {L"Text", kText, true},
    {L"Scratch", kScratch, false},
    {L"Flag", kFlag, true},
};

} // namespace

const frame::ControlClass& Sample::Class() {
    static const frame::ControlClass cls = {
        &CLSID_Sample,
        &IID_ISample,
        &DIID__ISampleEvents,
        L"FrameSampleWindow",
        frame::kMiscStatusControl,
        kProperties,
        {},
        true,
    };
    return cls;
}

const frame::ControlClass& Sample::InvisibleClass() {
    static const frame::ControlClass cls = {
        {&CLSID_InvisibleSample, &IID_ISample, &DIID__ISampleEvents},
        L"FrameSampleWindow",
        frame::kMiscStatusInvisibleControl,
        kProperties,
        {},
    };
    return cls;
}

Sample::Sample(Invisible) : Control(InvisibleClass()) {}

HRESULT Sample::CreateInvisible(REFIID iid, void** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    Sample* created = new (std::nothrow) Sample(Invisible{});
    if (created == nullptr) {
        return E_OUTOFMEMORY;
    }
    created->AddRef();
    HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}

std::span<const frame::Message<Sample>> Sample::Messages() {
    static const frame::Message<Sample> table[] = {
        {kRaiseMessage, &Sample::OnRaise},
    };
    return table;
}

void Sample::Log(const wchar_t* name) {
    putLog_ += name;
    putLog_ += L";";
}

HRESULT Sample::get_Text(BSTR* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = text_.copy();
    return S_OK;
}

HRESULT Sample::put_Text(BSTR value) {
    return PutProperty(kText, [&] {
        Log(L"Text");
        text_ = common::UniqueBstr(
            std::wstring_view(value != nullptr ? value : L"", ::SysStringLen(value)));
        return S_OK;
    });
}

HRESULT Sample::get_Number(LONG* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = number_;
    return S_OK;
}

HRESULT Sample::put_Number(LONG value) {
    return PutProperty(kNumber, [&] {
        Log(L"Number");
        if (value < 0) {
            return ReportError(CTL_E_INVALIDPROPERTYVALUE, L"Number must not be negative");
        }
        number_ = value;
        return S_OK;
    });
}

HRESULT Sample::get_Flag(VARIANT_BOOL* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = flag_;
    return S_OK;
}

HRESULT Sample::put_Flag(VARIANT_BOOL value) {
    return PutProperty(kFlag, [&] {
        Log(L"Flag");
        flag_ = value;
        return S_OK;
    });
}

HRESULT Sample::get_Scratch(LONG* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = scratch_;
    return S_OK;
}

HRESULT Sample::put_Scratch(LONG value) {
    return PutProperty(kScratch, [&] {
        Log(L"Scratch");
        scratch_ = value;
        return S_OK;
    });
}

HRESULT Sample::get_PutLog(BSTR* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = ::SysAllocStringLen(putLog_.data(), static_cast<UINT>(putLog_.size()));
    return *value != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT Sample::Add(LONG first, VARIANT second, LONG* sum) {
    if (sum == nullptr) {
        return E_POINTER;
    }
    LONG addend = 1; // when the second argument is left out
    if (!(second.vt == VT_ERROR && second.scode == DISP_E_PARAMNOTFOUND)) {
        VARIANT converted;
        ::VariantInit(&converted);
        if (FAILED(::VariantChangeType(&converted, &second, 0, VT_I4))) {
            return E_INVALIDARG;
        }
        addend = converted.lVal;
    }
    *sum = first + addend;
    return S_OK;
}

HRESULT Sample::Swap(LONG* value, BSTR* text) {
    if (value == nullptr || text == nullptr) {
        return E_POINTER;
    }
    *value = -*value;
    common::UniqueBstr old = common::UniqueBstr::attach(*text);
    std::wstring reversed(old.view().rbegin(), old.view().rend());
    *text = ::SysAllocStringLen(reversed.data(), static_cast<UINT>(reversed.size()));
    return S_OK;
}

HRESULT Sample::Raise(LONG value, BSTR text) {
    VARIANT a;
    a.vt = VT_I4;
    a.lVal = value;
    VARIANT b;
    b.vt = VT_BSTR;
    b.bstrVal = text;
    VARIANT c;
    c.vt = VT_BOOL;
    c.boolVal = flag_;
    FireEvent(1, {a, b, c});
    return S_OK;
}

HRESULT Sample::Fail(BSTR description) {
    return ReportError(E_INVALIDARG, description);
}

HRESULT Sample::get_UserMode(VARIANT_BOOL* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    *value = UserMode() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT Sample::RaiseLater(LONG value) {
    HWND window = Window() != nullptr ? Window() : CreateHiddenWindow();
    if (window == nullptr ||
        !::PostMessageW(window, kRaiseMessage, static_cast<WPARAM>(value), 0)) {
        return E_FAIL;
    }
    return S_OK;
}

LRESULT Sample::OnRaise(WPARAM wParam, LPARAM, bool&) {
    common::UniqueBstr text(L"later");
    Raise(static_cast<LONG>(wParam), text.get());
    return 0;
}
