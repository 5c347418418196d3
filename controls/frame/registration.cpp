#include "frame/registration.h"

#include <mutex>
#include <string>

#include "common/com.h"
#include "frame/module.h"

namespace frame {

// The system registrar's interface; the toolchain has no header for it.
const CLSID kClsidRegistrar = {
    0x44EC053A, 0x400F, 0x11D0, {0x9D, 0xCD, 0x00, 0xA0, 0xC9, 0x03, 0x91, 0xD3}};
const IID kIidRegistrar = {
    0x44EC053B, 0x400F, 0x11D0, {0x9D, 0xCD, 0x00, 0xA0, 0xC9, 0x03, 0x91, 0xD3}};

// Declared outside the unnamed namespace: the compiler must not assume it
// sees every implementation of the interface.
struct IRegistrar : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AddReplacement(LPCOLESTR key, LPCOLESTR item) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearReplacements() = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceRegisterSz(LPCOLESTR file, LPCOLESTR id,
                                                         LPCOLESTR type) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceUnregisterSz(LPCOLESTR file, LPCOLESTR id,
                                                           LPCOLESTR type) = 0;
    virtual HRESULT STDMETHODCALLTYPE FileRegister(LPCOLESTR file) = 0;
    virtual HRESULT STDMETHODCALLTYPE FileUnregister(LPCOLESTR file) = 0;
    virtual HRESULT STDMETHODCALLTYPE StringRegister(LPCOLESTR data) = 0;
    virtual HRESULT STDMETHODCALLTYPE StringUnregister(LPCOLESTR data) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceRegister(LPCOLESTR file, UINT id, LPCOLESTR type) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceUnregister(LPCOLESTR file, UINT id,
                                                         LPCOLESTR type) = 0;
};

namespace {

std::mutex g_typeLibLock;
ITypeLib* g_typeLib = nullptr; // kept for the life of the module

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

} // namespace

HRESULT ModuleTypeLib(ITypeLib** library) noexcept {
    if (library == nullptr) {
        return E_POINTER;
    }
    *library = nullptr;
    try {
        std::lock_guard<std::mutex> hold(g_typeLibLock);
        if (g_typeLib == nullptr) {
            HRESULT hr = ::LoadTypeLibEx(module::Path().c_str(), REGKIND_NONE, &g_typeLib);
            if (FAILED(hr)) {
                return hr;
            }
        }
        *library = g_typeLib;
        g_typeLib->AddRef();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ModuleTypeInfo(REFGUID guid, ITypeInfo** info) noexcept {
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    common::ComPtr<ITypeLib> library;
    HRESULT hr = ModuleTypeLib(library.put());
    if (FAILED(hr)) {
        return hr;
    }
    return library->GetTypeInfoOfGuid(guid, info);
}

HRESULT RunRegistryScript(UINT script, bool install) {
    common::ComPtr<IRegistrar> registrar;
    HRESULT hr = ::CoCreateInstance(kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER, kIidRegistrar,
                                    registrar.put_void());
    if (FAILED(hr)) {
        return hr;
    }
    const std::wstring path = module::Path();
    registrar->AddReplacement(L"MODULE", path.c_str());
    common::ComPtr<ITypeLib> library;
    if (SUCCEEDED(ModuleTypeLib(library.put()))) {
        TLIBATTR* attributes = nullptr;
        if (SUCCEEDED(library->GetLibAttr(&attributes))) {
            // The identifier inside the library is the one that gets registered.
            registrar->AddReplacement(L"LIBID", GuidText(attributes->guid).c_str());
            library->ReleaseTLibAttr(attributes);
        }
    }
    return install ? registrar->ResourceRegister(path.c_str(), script, L"REGISTRY")
                   : registrar->ResourceUnregister(path.c_str(), script, L"REGISTRY");
}

HRESULT RegisterModuleTypeLib() {
    common::ComPtr<ITypeLib> library;
    HRESULT hr = ModuleTypeLib(library.put());
    if (FAILED(hr)) {
        return hr;
    }
    std::wstring path = module::Path();
    return ::RegisterTypeLib(library.get(), path.data(), nullptr);
}

HRESULT UnregisterModuleTypeLib() {
    common::ComPtr<ITypeLib> library;
    HRESULT hr = ModuleTypeLib(library.put());
    if (FAILED(hr)) {
        return hr;
    }
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (FAILED(hr)) {
        return hr;
    }
    const TLIBATTR a = *attributes;
    library->ReleaseTLibAttr(attributes);
    common::ComPtr<ITypeLib> registered;
    if (FAILED(
            ::LoadRegTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, registered.put()))) {
        return S_OK;
    }
    registered.reset();
    return ::UnRegisterTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind);
}

} // namespace frame
