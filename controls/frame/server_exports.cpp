// The four entry points every in-process server exports. A library names its
// classes once by defining a frame::Server; that definition is what pulls this
// file into the library, with the entry points its .def file exports.
#include "frame/module.h"

namespace frame {
namespace {

std::span<const ClassEntry> g_classes;

} // namespace

Server::Server(std::span<const ClassEntry> classes) noexcept {
    g_classes = classes;
}

} // namespace frame

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return frame::CanUnloadNow();
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    return frame::GetClassObject(frame::g_classes, clsid, iid, object);
}

extern "C" HRESULT WINAPI DllRegisterServer() {
    return frame::RegisterServer(frame::g_classes);
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
    return frame::UnregisterServer(frame::g_classes);
}
