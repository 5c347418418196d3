// Registration runs the class's registry script and registers the embedded
// type library; unregistration takes exactly those keys away again.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "testsupport/registry_checks.h"

#include "sample_server.h"

namespace {

bool KeyExists(const std::wstring& path) {
    return testsupport::ClassesKeyExists(path);
}
std::wstring Value(const std::wstring& path, const wchar_t* name = nullptr) {
    return testsupport::ClassesValue(path, name);
}
std::wstring ModulePath() {
    return testsupport::LoadedModulePath(L"frame_sample.dll");
}

const wchar_t kClassKey[] = L"CLSID\\{115417D2-0A0F-4CD8-98FB-252DE005BCB2}";

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

class Registration : public ::testing::Test {
protected:
    common::ComApartment apartment_;
    SampleServer& server_ = SampleServer::Get();
};

TEST_F(Registration, RegisterWritesProgIdsClassKeyAndTypeLibrary) {
    ASSERT_NE(server_.registerServer, nullptr);
    RegisteredSample registered;
    ASSERT_EQ(registered.result(), S_OK);

    EXPECT_EQ(Value(L"FrameSample.Sample.1"), L"Sample Class");
    EXPECT_EQ(Value(L"FrameSample.Sample.1\\CLSID"), GuidText(CLSID_Sample));
    EXPECT_EQ(Value(L"FrameSample.Sample"), L"Sample Class");
    EXPECT_EQ(Value(L"FrameSample.Sample\\CurVer"), L"FrameSample.Sample.1");

    const std::wstring cls = kClassKey;
    EXPECT_EQ(Value(cls), L"Sample Class");
    EXPECT_EQ(Value(cls + L"\\ProgID"), L"FrameSample.Sample.1");
    EXPECT_EQ(Value(cls + L"\\VersionIndependentProgID"), L"FrameSample.Sample");
    EXPECT_TRUE(KeyExists(cls + L"\\Programmable"));
    EXPECT_TRUE(KeyExists(cls + L"\\Control"));
    EXPECT_EQ(Value(cls + L"\\InprocServer32"), ModulePath());
    EXPECT_EQ(Value(cls + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Value(cls + L"\\MiscStatus"), L"0");
    EXPECT_EQ(Value(cls + L"\\MiscStatus\\1"), L"131473");
    EXPECT_EQ(Value(cls + L"\\Version"), L"1.0");

    // A programmable object of the same server: no control keys.
    const std::wstring counter = L"CLSID\\{DC5CA52D-ED37-43B3-855F-189A4F7DDBFF}";
    EXPECT_EQ(Value(L"FrameSample.Counter\\CurVer"), L"FrameSample.Counter.1");
    EXPECT_TRUE(KeyExists(counter + L"\\Programmable"));
    EXPECT_FALSE(KeyExists(counter + L"\\Control"));
    EXPECT_EQ(Value(counter + L"\\InprocServer32", L"ThreadingModel"), L"Single");

    // The class names a library that the system can load by its registration.
    GUID library = {};
    ASSERT_EQ(::CLSIDFromString(Value(cls + L"\\TypeLib").c_str(), &library), S_OK);
    common::ComPtr<ITypeLib> loaded;
    ASSERT_EQ(::LoadRegTypeLib(library, 1, 0, 0, loaded.put()), S_OK);
    common::ComPtr<ITypeInfo> info;
    EXPECT_EQ(loaded->GetTypeInfoOfGuid(IID_ISample, info.put()), S_OK);

    // And a script's road works: class from ProgID, object from class.
    CLSID byName = {};
    ASSERT_EQ(::CLSIDFromProgID(L"FrameSample.Sample", &byName), S_OK);
    EXPECT_EQ(byName, CLSID_Sample);
    common::ComPtr<ISample> created;
    EXPECT_EQ(
        ::CoCreateInstance(byName, nullptr, CLSCTX_INPROC_SERVER, IID_ISample, created.put_void()),
        S_OK);
}

TEST_F(Registration, UnregisterRemovesExactlyWhatRegisterWrote) {
    std::wstring libraryKey;
    {
        RegisteredSample registered;
        ASSERT_EQ(registered.result(), S_OK);
        libraryKey = L"TypeLib\\" + Value(std::wstring(kClassKey) + L"\\TypeLib");
        ASSERT_TRUE(KeyExists(libraryKey));
    }
    EXPECT_FALSE(KeyExists(L"FrameSample.Sample.1"));
    EXPECT_FALSE(KeyExists(L"FrameSample.Sample"));
    EXPECT_FALSE(KeyExists(kClassKey));
    EXPECT_FALSE(KeyExists(libraryKey));
    EXPECT_FALSE(KeyExists(L"Interface\\" + GuidText(IID_ISample)));
    // Keys the script does not own stay.
    EXPECT_FALSE(KeyExists(L"FrameSample.Counter"));
    EXPECT_TRUE(KeyExists(L"CLSID"));
    // Unregistering twice is harmless.
    EXPECT_EQ(server_.unregisterServer(), S_OK);
}

TEST_F(Registration, CanUnloadNowFollowsObjectsAndServerLocks) {
    ASSERT_NE(server_.canUnloadNow, nullptr);
    EXPECT_EQ(server_.canUnloadNow(), S_OK);

    common::ComPtr<IClassFactory> factory;
    ASSERT_EQ(server_.getClassObject(CLSID_Sample, IID_IClassFactory, factory.put_void()), S_OK);
    EXPECT_EQ(server_.canUnloadNow(), S_OK) << "a factory alone does not hold the server";

    common::ComPtr<ISample> first;
    common::ComPtr<ISample> second;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ISample, first.put_void()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ISample, second.put_void()), S_OK);
    EXPECT_EQ(server_.canUnloadNow(), S_FALSE);
    first.reset();
    EXPECT_EQ(server_.canUnloadNow(), S_FALSE);
    second.reset();
    EXPECT_EQ(server_.canUnloadNow(), S_OK);

    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(server_.canUnloadNow(), S_FALSE);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(server_.canUnloadNow(), S_OK);
}

TEST_F(Registration, FactoryRefusesUnknownClassesAndAggregation) {
    common::ComPtr<IClassFactory> factory;
    EXPECT_EQ(server_.getClassObject(IID_ISample, IID_IClassFactory, factory.put_void()),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(server_.getClassObject(CLSID_Sample, IID_IClassFactory, factory.put_void()), S_OK);
    common::ComPtr<IUnknown> outer = server_.Create().as<IUnknown>();
    common::ComPtr<IUnknown> inner;
    EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, inner.put_void()),
              CLASS_E_NOAGGREGATION);
}

} // namespace
