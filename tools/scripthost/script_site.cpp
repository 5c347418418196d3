#include "script_site.h"

#include "script_host.h"

namespace scripthost {
namespace {

// The key under which an engine asks whether a new object may be used.
const GUID kConfirmObjectSafety = {
    0x10200490, 0xfa38, 0x11d0, {0xac, 0x0e, 0x00, 0xa0, 0xc9, 0x0f, 0xff, 0xc0}};

// What the engine passes with that key.
struct ConfirmSafety {
    CLSID clsid;
    IUnknown* object;
    DWORD flags;
};

HRESULT AllowPolicy(BYTE** policy, DWORD* policySize) {
    if (policy == nullptr || policySize == nullptr) {
        return E_POINTER;
    }
    auto* value = static_cast<DWORD*>(::CoTaskMemAlloc(sizeof(DWORD)));
    if (value == nullptr) {
        return E_OUTOFMEMORY;
    }
    *value = URLPOLICY_ALLOW;
    *policy = reinterpret_cast<BYTE*>(value);
    *policySize = sizeof(DWORD);
    return S_OK;
}

} // namespace

HRESULT ScriptSite::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    IUnknown* found = nullptr;
    if (iid == IID_IUnknown || iid == IID_IActiveScriptSite) {
        found = static_cast<IActiveScriptSite*>(this);
    } else if (iid == IID_IActiveScriptSiteWindow) {
        found = static_cast<IActiveScriptSiteWindow*>(this);
    } else if (iid == IID_IServiceProvider) {
        found = static_cast<IServiceProvider*>(this);
    } else if (iid == IID_IInternetHostSecurityManager) {
        found = static_cast<IInternetHostSecurityManager*>(this);
    }
    *object = found;
    if (found == nullptr) {
        return E_NOINTERFACE;
    }
    found->AddRef();
    return S_OK;
}

ULONG ScriptSite::AddRef() {
    return ::InterlockedIncrement(&refs_);
}

ULONG ScriptSite::Release() {
    LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT ScriptSite::GetLCID(LCID* lcid) {
    if (lcid == nullptr) {
        return E_POINTER;
    }
    *lcid = ::GetUserDefaultLCID();
    return S_OK;
}

HRESULT ScriptSite::GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) {
    if ((mask & SCRIPTINFO_IUNKNOWN) != 0) {
        if (item == nullptr) {
            return E_POINTER;
        }
        *item = nullptr;
    }
    if ((mask & SCRIPTINFO_ITYPEINFO) != 0) {
        if (info == nullptr) {
            return E_POINTER;
        }
        *info = nullptr;
    }
    if (host_ == nullptr || name == nullptr || ::_wcsicmp(name, L"Host") != 0) {
        return TYPE_E_ELEMENTNOTFOUND;
    }
    if ((mask & SCRIPTINFO_IUNKNOWN) != 0) {
        *item = host_->HostObject();
        (*item)->AddRef();
    }
    return S_OK;
}

HRESULT ScriptSite::GetDocVersionString(BSTR* version) {
    if (version != nullptr) {
        *version = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT ScriptSite::OnScriptTerminate(const VARIANT*, const EXCEPINFO*) {
    return S_OK;
}

HRESULT ScriptSite::OnStateChange(SCRIPTSTATE) {
    return S_OK;
}

HRESULT ScriptSite::OnScriptError(IActiveScriptError* error) {
    if (host_ != nullptr && error != nullptr) {
        host_->ScriptError(error);
    }
    return S_OK;
}

HRESULT ScriptSite::OnEnterScript() {
    return S_OK;
}

HRESULT ScriptSite::OnLeaveScript() {
    return S_OK;
}

HRESULT ScriptSite::GetWindow(HWND* window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = host_ != nullptr ? host_->GetForm().Window() : nullptr;
    return S_OK;
}

HRESULT ScriptSite::EnableModeless(BOOL) {
    return S_OK;
}

HRESULT ScriptSite::QueryService(REFGUID service, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (service == SID_SInternetHostSecurityManager) {
        return QueryInterface(iid, object);
    }
    return E_NOINTERFACE;
}

HRESULT ScriptSite::GetSecurityId(BYTE*, DWORD*, DWORD_PTR) {
    return E_NOTIMPL;
}

HRESULT ScriptSite::ProcessUrlAction(DWORD, BYTE* policy, DWORD policySize, BYTE*, DWORD, DWORD,
                                     DWORD) {
    if (policy != nullptr && policySize >= sizeof(DWORD)) {
        *reinterpret_cast<DWORD*>(policy) = URLPOLICY_ALLOW;
    }
    return S_OK;
}

HRESULT ScriptSite::QueryCustomPolicy(REFGUID key, BYTE** policy, DWORD* policySize, BYTE* context,
                                      DWORD contextSize, DWORD) {
    if (key == kConfirmObjectSafety && context != nullptr && contextSize >= sizeof(ConfirmSafety) &&
        host_ != nullptr) {
        host_->ObjectCreated(reinterpret_cast<ConfirmSafety*>(context)->object);
    }
    return AllowPolicy(policy, policySize);
}

} // namespace scripthost
