// HVTBarCodeReaderSim.dll: the in-process server of "Harvanti.BarCodeReader".
#include <windows.h>
#include <olectl.h>

#include <new>
#include <string>

#include "common/handle.h"
#include "reader_object.h"

namespace dataserver {

namespace {

HMODULE g_module = nullptr;

const wchar_t kProgId[] = L"Harvanti.BarCodeReader";
const wchar_t kVersionedProgId[] = L"Harvanti.BarCodeReader.1";
const wchar_t kClassName[] = L"BarCodeReader Class";
const wchar_t kThreadingModel[] = L"Both";

class ClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // One factory lives as long as the module: its references keep the module.
    STDMETHODIMP_(ULONG) AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&g_moduleReferences) + 1);
    }
    STDMETHODIMP_(ULONG) Release() override {
        return static_cast<ULONG>(::InterlockedDecrement(&g_moduleReferences) + 1);
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        auto* reader = new (std::nothrow) BarCodeReader();
        if (reader == nullptr) {
            return E_OUTOFMEMORY;
        }
        const HRESULT result = reader->QueryInterface(iid, object);
        reader->Release();
        return result;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            ::InterlockedIncrement(&g_moduleReferences);
        } else {
            ::InterlockedDecrement(&g_moduleReferences);
        }
        return S_OK;
    }
};

ClassFactory g_factory;

std::wstring ClassIdText() {
    wchar_t text[64] = {};
    ::StringFromGUID2(CLSID_BarCodeReader, text, 64);
    return text;
}

bool SetValue(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    common::UniqueKey key;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return ::RegSetValueExW(
               key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

HRESULT Register() {
    wchar_t modulePath[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(g_module, modulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return SELFREG_E_CLASS;
    }
    const std::wstring classId = ClassIdText();
    const std::wstring classKey = L"CLSID\\" + classId;
    const bool written =
        SetValue(classKey, nullptr, kClassName) &&
        SetValue(classKey + L"\\InprocServer32", nullptr, modulePath) &&
        SetValue(classKey + L"\\InprocServer32", L"ThreadingModel", kThreadingModel) &&
        SetValue(classKey + L"\\ProgID", nullptr, kVersionedProgId) &&
        SetValue(classKey + L"\\VersionIndependentProgID", nullptr, kProgId) &&
        SetValue(kVersionedProgId, nullptr, kClassName) &&
        SetValue(std::wstring(kVersionedProgId) + L"\\CLSID", nullptr, classId) &&
        SetValue(kProgId, nullptr, kClassName) &&
        SetValue(std::wstring(kProgId) + L"\\CLSID", nullptr, classId) &&
        SetValue(std::wstring(kProgId) + L"\\CurVer", nullptr, kVersionedProgId);
    return written ? S_OK : SELFREG_E_CLASS;
}

HRESULT Unregister() {
    const std::wstring classKey = L"CLSID\\" + ClassIdText();
    for (const std::wstring& key :
         {classKey, std::wstring(kVersionedProgId), std::wstring(kProgId)}) {
        const LSTATUS status = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
            return SELFREG_E_CLASS;
        }
        ::RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    }
    return S_OK;
}

} // namespace

} // namespace dataserver

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        dataserver::g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (!IsEqualCLSID(classId, CLSID_BarCodeReader)) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return dataserver::g_factory.QueryInterface(iid, object);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return dataserver::g_moduleReferences == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
    try {
        return dataserver::Register();
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    try {
        return dataserver::Unregister();
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}
