#include "frame/module.h"

#include <vector>

#include "frame/registration.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace frame {
namespace {

LONG g_locks = 0;

// A factory for one class; it does not hold the server by itself.
class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(HRESULT (*create)(REFIID, void**)) noexcept : create_(create) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = ::InterlockedDecrement(&refs_);
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        return create_(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            module::Lock();
        } else {
            module::Unlock();
        }
        return S_OK;
    }

private:
    HRESULT (*create_)(REFIID, void**);
    LONG refs_ = 0;
};

} // namespace

namespace module {

HINSTANCE Instance() noexcept {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

std::wstring Path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length =
            ::GetModuleFileNameW(Instance(), path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void Lock() noexcept {
    ::InterlockedIncrement(&g_locks);
}
void Unlock() noexcept {
    ::InterlockedDecrement(&g_locks);
}
LONG LockCount() noexcept {
    return g_locks;
}

} // namespace module

HRESULT CanUnloadNow() noexcept {
    return module::LockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT GetClassObject(std::span<const ClassEntry> classes, REFCLSID clsid, REFIID iid,
                       void** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    for (const ClassEntry& entry : classes) {
        if (*entry.clsid == clsid) {
            auto* factory = new (std::nothrow) ClassFactory(entry.create);
            if (factory == nullptr) {
                return E_OUTOFMEMORY;
            }
            factory->AddRef();
            HRESULT hr = factory->QueryInterface(iid, object);
            factory->Release();
            return hr;
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT RegisterServer(std::span<const ClassEntry> classes) noexcept {
    try {
        for (const ClassEntry& entry : classes) {
            if (entry.registryScript == 0) {
                continue;
            }
            HRESULT hr = RunRegistryScript(entry.registryScript, true);
            if (FAILED(hr)) {
                return hr;
            }
        }
        return RegisterModuleTypeLib();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT UnregisterServer(std::span<const ClassEntry> classes) noexcept {
    try {
        HRESULT result = S_OK;
        for (const ClassEntry& entry : classes) {
            if (entry.registryScript == 0) {
                continue;
            }
            HRESULT hr = RunRegistryScript(entry.registryScript, false);
            if (FAILED(hr) && SUCCEEDED(result)) {
                result = hr;
            }
        }
        HRESULT hr = UnregisterModuleTypeLib();
        return FAILED(result) ? result : hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace frame
