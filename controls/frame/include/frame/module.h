// The in-process server around a library's classes: its module, its object
// and lock counts, class factories, and the four server entry points.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <new>
#include <span>
#include <string>

namespace frame {

// One creatable class of a server, and the registry script that registers it.
struct ClassEntry {
    const CLSID* clsid;
    UINT registryScript; // REGISTRY resource; 0 when the class is not registered
    HRESULT (*create)(REFIID iid, void** object);
};

// Creates a T, lets it finish construction, and hands out the interface asked for.
template <typename T> HRESULT CreateInstance(REFIID iid, void** object) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    T* created = new (std::nothrow) T();
    if (created == nullptr) {
        return E_OUTOFMEMORY;
    }
    created->AddRef();
    HRESULT hr = created->FinalConstruct();
    if (SUCCEEDED(hr)) {
        hr = created->QueryInterface(iid, object);
    }
    created->Release();
    return hr;
}

namespace module {

// The module this frame is linked into.
HINSTANCE Instance() noexcept;
// Full path of the server module.
std::wstring Path();

// Every live object and every IClassFactory::LockServer(TRUE) holds the server.
void Lock() noexcept;
void Unlock() noexcept;
LONG LockCount() noexcept;

} // namespace module

// Holds the server for the lifetime of the object it is a member of.
class ModuleLock {
public:
    ModuleLock() noexcept { module::Lock(); }
    ModuleLock(const ModuleLock&) noexcept { module::Lock(); }
    ModuleLock& operator=(const ModuleLock&) noexcept { return *this; }
    ~ModuleLock() { module::Unlock(); }
};

// The server's classes. A library defines exactly one, at namespace scope,
// over its class table:
//     const frame::Server kServer{kClasses};
// and its .def file exports DllCanUnloadNow, DllGetClassObject,
// DllRegisterServer and DllUnregisterServer, which the frame provides.
class Server {
public:
    explicit Server(std::span<const ClassEntry> classes) noexcept;
};

// What the entry points do, over a class table.
HRESULT CanUnloadNow() noexcept;
HRESULT GetClassObject(std::span<const ClassEntry> classes, REFCLSID clsid, REFIID iid,
                       void** object) noexcept;
HRESULT RegisterServer(std::span<const ClassEntry> classes) noexcept;
HRESULT UnregisterServer(std::span<const ClassEntry> classes) noexcept;

} // namespace frame
