// A member that answers with a system error number: the caller of the dual
// interface and of IDispatch::Invoke gets the number, a script no error.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "common/com.h"
#include "deviceapi_server.h"
#include "testsupport/script_host.h"

namespace {

const wchar_t kMissingValue[] = L"MXQRAPI status test: no such value";

class SystemStatus : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
        ASSERT_EQ(::CoCreateInstance(CLSID_Registry, nullptr, CLSCTX_INPROC_SERVER, IID_IRegistry,
                                     reinterpret_cast<void**>(registry_.put())),
                  S_OK);
    }
    common::ComApartment apartment_;
    common::ComPtr<IRegistry> registry_;
};

TEST_F(SystemStatus, DualInterfaceReturnsTheNumberItself) {
    common::UniqueBstr name(::SysAllocString(kMissingValue));
    common::UniqueVariant result;
    EXPECT_EQ(registry_->QueryValue(static_cast<LONG>(0x80000001), name.get(), result.get()),
              static_cast<HRESULT>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(V_VT(result.get()), VT_EMPTY);
}

TEST_F(SystemStatus, InvokeReturnsTheNumberWithNoExceptionAndAnEmptyResult) {
    VARIANTARG args[2];
    // Arguments in reverse order: Key, ValueName.
    ::VariantInit(&args[0]);
    V_VT(&args[0]) = VT_BSTR;
    V_BSTR(&args[0]) = ::SysAllocString(kMissingValue);
    ::VariantInit(&args[1]);
    V_VT(&args[1]) = VT_I4;
    V_I4(&args[1]) = static_cast<LONG>(0x80000001);
    DISPPARAMS params = {args, nullptr, 2, 0};
    common::UniqueVariant result;
    EXCEPINFO exception = {};
    UINT argError = 0;
    EXPECT_EQ(registry_->Invoke(9, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                result.get(), &exception, &argError),
              static_cast<HRESULT>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(exception.scode, 0);
    EXPECT_EQ(V_VT(result.get()), VT_EMPTY);
    ::VariantClear(&args[0]);

    // The next call through Invoke that succeeds says so.
    DISPPARAMS one = {&args[1], nullptr, 1, 0};
    EXPECT_EQ(registry_->Invoke(5, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &one, nullptr,
                                nullptr, nullptr),
              S_OK);
}

TEST(SystemStatusScript, RaisesNoErrorAndLeavesTheResultEmpty) {
    {
        common::ComApartment apartment;
        ASSERT_EQ(RegisterDeviceApiServer(), S_OK);
    }
    const std::string output = testsupport::RunVbScript(
        "Set reg = CreateObject(\"MXQRAPI.Registry\")\r\n"
        "On Error Resume Next\r\n"
        "v = reg.QueryValue(&H80000001, \"MXQRAPI status test: no such value\")\r\n"
        "WScript.Echo \"error \" & Err.Number & \" empty \" & IsEmpty(v)\r\n"
        "WScript.Echo \"done\"\r\n");
    EXPECT_EQ(output, "error 0 empty True\r\ndone\r\n");
}

} // namespace
