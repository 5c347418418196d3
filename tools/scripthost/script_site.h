// The engine's site: named items, errors, the form as the script's window,
// and the security manager through which the engine's CreateObject hands
// each new object to the host before the script sees it.
#pragma once

#include <windows.h>
#include <activscp.h>
#include <servprov.h>
#include <urlmon.h>

namespace scripthost {

class ScriptHost;

class ScriptSite final : public IActiveScriptSite,
                         public IActiveScriptSiteWindow,
                         public IServiceProvider,
                         public IInternetHostSecurityManager {
public:
    explicit ScriptSite(ScriptHost* host) noexcept : host_(host) {}
    // The host is going away; the engine may still hold the site.
    void Detach() noexcept { host_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IActiveScriptSite
    HRESULT STDMETHODCALLTYPE GetLCID(LCID* lcid) override;
    HRESULT STDMETHODCALLTYPE GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item,
                                          ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetDocVersionString(BSTR* version) override;
    HRESULT STDMETHODCALLTYPE OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override;
    HRESULT STDMETHODCALLTYPE OnStateChange(SCRIPTSTATE) override;
    HRESULT STDMETHODCALLTYPE OnScriptError(IActiveScriptError* error) override;
    HRESULT STDMETHODCALLTYPE OnEnterScript() override;
    HRESULT STDMETHODCALLTYPE OnLeaveScript() override;

    // IActiveScriptSiteWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override;

    // IServiceProvider
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** object) override;

    // IInternetHostSecurityManager: the script is the terminal's own
    // application, so every action is allowed.
    HRESULT STDMETHODCALLTYPE GetSecurityId(BYTE*, DWORD*, DWORD_PTR) override;
    HRESULT STDMETHODCALLTYPE ProcessUrlAction(DWORD action, BYTE* policy, DWORD policySize,
                                               BYTE* context, DWORD contextSize, DWORD flags,
                                               DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE QueryCustomPolicy(REFGUID key, BYTE** policy, DWORD* policySize,
                                                BYTE* context, DWORD contextSize,
                                                DWORD reserved) override;

private:
    ~ScriptSite() = default;

    ScriptHost* host_;
    LONG refs_ = 1;
};

} // namespace scripthost
