#include "sample_server.h"

#include <gtest/gtest.h>

namespace {

template <typename F> F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace

SampleServer& SampleServer::Get() {
    static SampleServer server = [] {
        // Stays loaded for the life of the test program, as COM would keep it.
        HMODULE module = ::LoadLibraryW(L"frame_sample.dll");
        SampleServer s{};
        if (module != nullptr) {
            s.canUnloadNow = Export<decltype(s.canUnloadNow)>(module, "DllCanUnloadNow");
            s.getClassObject = Export<decltype(s.getClassObject)>(module, "DllGetClassObject");
            s.registerServer = Export<decltype(s.registerServer)>(module, "DllRegisterServer");
            s.unregisterServer =
                Export<decltype(s.unregisterServer)>(module, "DllUnregisterServer");
        }
        return s;
    }();
    return server;
}

common::ComPtr<ISample> SampleServer::Create() const {
    common::ComPtr<IClassFactory> factory;
    common::ComPtr<ISample> sample;
    if (getClassObject != nullptr &&
        SUCCEEDED(getClassObject(CLSID_Sample, IID_IClassFactory, factory.put_void()))) {
        factory->CreateInstance(nullptr, IID_ISample, sample.put_void());
    }
    return sample;
}

RegisteredSample::RegisteredSample() : result_(SampleServer::Get().registerServer()) {}

RegisteredSample::~RegisteredSample() {
    SampleServer::Get().unregisterServer();
}
