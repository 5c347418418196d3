// Registry: settings and key-level access to the system registry.
#pragma once

#include "MXQRAPI.h"
#include "frame/object.h"

class Registry final : public frame::Object<Registry, IRegistry> {
public:
    static const frame::ObjectClass& Class();

    HRESULT STDMETHODCALLTYPE SaveSetting(MXQRAPIRegKey RootKey, BSTR Section, BSTR Key,
                                          VARIANT Setting) override;
    HRESULT STDMETHODCALLTYPE GetSetting(MXQRAPIRegKey RootKey, BSTR Section, BSTR Key,
                                         VARIANT Default, VARIANT* Result) override;
    HRESULT STDMETHODCALLTYPE CreateKey(LONG KeyParent, BSTR KeyName, LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE SetValue(LONG Key, BSTR Section, VARIANT Setting,
                                       VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE CloseKey(LONG Key) override;
    HRESULT STDMETHODCALLTYPE DeleteKey(LONG Key, BSTR SubKey, VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE DeleteValue(LONG Key, BSTR Value, VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE RecurseDeleteKey(LONG Key, BSTR SubKeyName,
                                               VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE QueryValue(LONG Key, BSTR ValueName, VARIANT* Result) override;
};
