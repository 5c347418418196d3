#include "sip_vorp.h"

#include <cstring>
#include <string>
#include <vector>

#include "frame/module.h"
#include "keyboard_vorp.h"
#include "sip.h"

namespace {

constexpr BOOL kTrue = -1;

// The input methods as the last SipVorp found them, shared by all of the
// process's objects.
std::vector<std::wstring> g_names;
std::vector<CLSID> g_classes;

int ListInputMethod(IMENUMINFO* info) {
    try {
        g_names.emplace_back(info->szName);
        g_classes.push_back(info->clsid);
    } catch (...) {
    }
    return 1;
}

bool ValidIndex(LONG index, size_t count) {
    return index >= 1 && static_cast<size_t>(index) <= count;
}

bool SameClass(const CLSID& a, const CLSID& b) {
    return std::memcmp(&a, &b, sizeof(CLSID)) == 0;
}

HWND WindowOf(LONG handle) {
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
}

bool ReadSipInfo(SIPINFO* info) {
    *info = {};
    info->cbSize = SIPINFO_SIZE;
    return SHSipInfo(SPI_GETSIPINFO, 0, info, 0) != FALSE;
}

} // namespace

const frame::ObjectClass& SipVorp::Class() {
    static const frame::ObjectClass cls = {&CLSID_SipVorp, &IID_ISipVorp, nullptr};
    return cls;
}

SipVorp::SipVorp() {
    g_names.clear();
    g_classes.clear();
    SipEnumIM(ListInputMethod);
}

HRESULT SipVorp::get_KeyboardVorp(IKeyboardVorp** pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    HRESULT hr =
        frame::CreateInstance<KeyboardVorp>(IID_IKeyboardVorp, reinterpret_cast<void**>(pVal));
    return SUCCEEDED(hr) ? S_OK : E_UNEXPECTED;
}

HRESULT SipVorp::get_SipAvailable(BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = SipStatus() == SIP_STATUS_AVAILABLE ? kTrue : 0;
    return S_OK;
}

HRESULT SipVorp::get_Show(BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    SIPINFO info = {};
    info.cbSize = SIPINFO_SIZE;
    if (!SipGetInfo(&info)) {
        return E_FAIL;
    }
    *pVal = (info.fdwFlags & SIPF_ON) != 0 ? kTrue : 0;
    return S_OK;
}

HRESULT SipVorp::put_Show(BOOL newVal) {
    SIPINFO info = {};
    info.cbSize = SIPINFO_SIZE;
    if (!SipGetInfo(&info)) {
        return E_FAIL;
    }
    info.fdwFlags = newVal != 0 ? info.fdwFlags | SIPF_ON : info.fdwFlags & ~SIPF_ON;
    info.fdwFlags |= SIPF_LOCKED;
    return SipSetInfo(&info) ? S_OK : E_FAIL;
}

HRESULT SipVorp::get_SipCount(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    *pVal = static_cast<LONG>(g_names.size());
    return S_OK;
}

HRESULT SipVorp::get_SipName(LONG Index, BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (!ValidIndex(Index, g_names.size())) {
        return E_INVALIDARG;
    }
    *pVal = ::SysAllocString(g_names[Index - 1].c_str());
    return *pVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT SipVorp::get_SipCLSID(LONG Index, BSTR* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (!ValidIndex(Index, g_classes.size())) {
        return E_INVALIDARG;
    }
    LPOLESTR text = nullptr;
    if (FAILED(::StringFromCLSID(g_classes[Index - 1], &text))) {
        return E_OUTOFMEMORY;
    }
    *pVal = ::SysAllocString(text);
    ::CoTaskMemFree(text);
    return *pVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT SipVorp::get_SipSelected(LONG Index, BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    if (!ValidIndex(Index, g_classes.size())) {
        return E_INVALIDARG;
    }
    CLSID current = GUID_NULL;
    if (!SipGetCurrentIM(&current)) {
        return E_FAIL;
    }
    *pVal = SameClass(current, g_classes[Index - 1]) ? kTrue : 0;
    return S_OK;
}

HRESULT SipVorp::put_SipSelected(LONG Index, BOOL newVal) {
    if (newVal == 0) {
        return S_OK;
    }
    if (!ValidIndex(Index, g_classes.size())) {
        return E_INVALIDARG;
    }
    CLSID wanted = g_classes[Index - 1];
    return SipSetCurrentIM(&wanted) ? S_OK : E_FAIL;
}

HRESULT SipVorp::get_CurrentSip(LONG* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    CLSID current = GUID_NULL;
    if (!SipGetCurrentIM(&current)) {
        return E_FAIL;
    }
    for (size_t i = 0; i < g_classes.size(); ++i) {
        if (SameClass(current, g_classes[i])) {
            *pVal = static_cast<LONG>(i + 1);
            return S_OK;
        }
    }
    return E_FAIL;
}

HRESULT SipVorp::SelectDefaultSIP() {
    CLSID none = GUID_NULL;
    SipSetCurrentIM(&none);
    return S_OK;
}

HRESULT SipVorp::SelectKeyboardVorp() {
    CLSID keyboard = CLSID_KeyboardVorp;
    SipSetCurrentIM(&keyboard);
    CLSID current = GUID_NULL;
    if (!SipGetCurrentIM(&current)) {
        return E_FAIL;
    }
    return SameClass(current, CLSID_KeyboardVorp) ? S_OK : E_FAIL;
}

HRESULT SipVorp::SetPreference(LONG hWnd, SipPreference State) {
    return SHSipPreference(WindowOf(hWnd), static_cast<SIPSTATE>(State)) ? S_OK : E_FAIL;
}

HRESULT SipVorp::get_WordCompletion(BOOL* pVal) {
    if (pVal == nullptr) {
        return E_POINTER;
    }
    SIPINFO info = {};
    ReadSipInfo(&info);
    *pVal = (info.fdwFlags & SIPF_DISABLECOMPLETION) != 0 ? kTrue : 0;
    return S_OK;
}

HRESULT SipVorp::put_WordCompletion(BOOL newVal) {
    SIPINFO info = {};
    ReadSipInfo(&info);
    info.fdwFlags = newVal != 0 ? info.fdwFlags | SIPF_DISABLECOMPLETION
                                : info.fdwFlags & ~SIPF_DISABLECOMPLETION;
    SHSipInfo(SPI_SETSIPINFO, 0, &info, 0);
    return S_OK;
}

HRESULT SipVorp::EnterPasswordField(LONG hWnd) {
    SIPINFO info = {};
    ReadSipInfo(&info);
    savedFlags_ = info.fdwFlags;
    info.fdwFlags |= SIPF_DISABLECOMPLETION;
    SHSipInfo(SPI_SETSIPINFO, 0, &info, 0);
    // Down and up again, so that the panel comes back with the new setting.
    SHSipPreference(WindowOf(hWnd), SIP_FORCEDOWN);
    SHSipPreference(WindowOf(hWnd), SIP_UP);
    return S_OK;
}

HRESULT SipVorp::LeavePasswordField(LONG hWnd, SipPreference State) {
    SIPINFO info = {};
    ReadSipInfo(&info);
    info.fdwFlags = savedFlags_;
    SHSipInfo(SPI_SETSIPINFO, 0, &info, 0);
    SHSipPreference(WindowOf(hWnd), SIP_FORCEDOWN);
    SHSipPreference(WindowOf(hWnd), static_cast<SIPSTATE>(State));
    return S_OK;
}
