// Late binding from the type library: names, DISPIDs, optional and
// by-reference arguments, error information.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "sample_server.h"

namespace {

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = SampleServer::Get().Create();
        ASSERT_TRUE(sample_);
        dispatch_ = sample_.as<IDispatch>();
    }

    DISPID IdOf(const wchar_t* name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        return id;
    }

    HRESULT Call(DISPID id, WORD flags, std::initializer_list<VARIANT> reversedArgs,
                 VARIANT* result, EXCEPINFO* exception = nullptr) {
        std::vector<VARIANTARG> args(reversedArgs);
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params = {
            args.empty() ? nullptr : args.data(), flags == DISPATCH_PROPERTYPUT ? &named : nullptr,
            static_cast<UINT>(args.size()), flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
        return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                 exception, nullptr);
    }

    static VARIANT Long(LONG v) {
        VARIANT x;
        x.vt = VT_I4;
        x.lVal = v;
        return x;
    }

    common::ComApartment apartment_;
    common::ComPtr<ISample> sample_;
    common::ComPtr<IDispatch> dispatch_;
};

TEST_F(Dispatch, NamesMapToTheirDispids) {
    EXPECT_EQ(IdOf(L"Text"), 1);
    EXPECT_EQ(IdOf(L"number"), 2) << "names are not case-sensitive";
    EXPECT_EQ(IdOf(L"Add"), 6);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
    DISPID id = 0;
    EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNNAME);
    UINT count = 0;
    EXPECT_EQ(dispatch_->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
}

TEST_F(Dispatch, PropertyGetAndPutByDispid) {
    common::UniqueVariant value;
    ASSERT_EQ(Call(2, DISPATCH_PROPERTYGET, {}, value.put()), S_OK);
    EXPECT_EQ(value->vt, VT_I4);
    EXPECT_EQ(value->lVal, 7);

    // A string is converted to the property's type on the way in.
    VARIANT text;
    text.vt = VT_BSTR;
    common::UniqueBstr digits(L"42");
    text.bstrVal = digits.get();
    ASSERT_EQ(Call(2, DISPATCH_PROPERTYPUT, {text}, nullptr), S_OK);
    LONG number = 0;
    ASSERT_EQ(sample_->get_Number(&number), S_OK);
    EXPECT_EQ(number, 42);
}

TEST_F(Dispatch, OptionalArgumentMayBeLeftOut) {
    common::UniqueVariant sum;
    ASSERT_EQ(Call(6, DISPATCH_METHOD, {Long(5)}, sum.put()), S_OK);
    EXPECT_EQ(sum->lVal, 6);
    // Arguments arrive last first.
    ASSERT_EQ(Call(6, DISPATCH_METHOD, {Long(10), Long(5)}, sum.put()), S_OK);
    EXPECT_EQ(sum->lVal, 15);
}

TEST_F(Dispatch, ByReferenceArgumentsComeBackChanged) {
    LONG number = 12;
    common::UniqueBstr text(L"abc");
    BSTR textSlot = text.release();
    VARIANT byRefNumber;
    byRefNumber.vt = VT_I4 | VT_BYREF;
    byRefNumber.plVal = &number;
    VARIANT byRefText;
    byRefText.vt = VT_BSTR | VT_BYREF;
    byRefText.pbstrVal = &textSlot;
    common::UniqueVariant ignored;
    ASSERT_EQ(Call(7, DISPATCH_METHOD, {byRefText, byRefNumber}, ignored.put()), S_OK);
    text.reset(textSlot);
    EXPECT_EQ(number, -12);
    EXPECT_EQ(text.view(), L"cba");
}

TEST_F(Dispatch, FailureReachesTheScriptWithItsDescription) {
    common::UniqueBstr description(L"no good");
    VARIANT argument;
    argument.vt = VT_BSTR;
    argument.bstrVal = description.get();
    EXCEPINFO exception = {};
    common::UniqueVariant ignored;
    EXPECT_EQ(Call(9, DISPATCH_METHOD, {argument}, ignored.put(), &exception), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, E_INVALIDARG);
    ASSERT_NE(exception.bstrDescription, nullptr);
    EXPECT_STREQ(exception.bstrDescription, L"no good");
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrHelpFile);

    // Early bound: the HRESULT itself, and the thread's error information.
    EXPECT_EQ(sample_->Fail(description.get()), E_INVALIDARG);
    common::ComPtr<ISupportErrorInfo> supports = sample_.as<ISupportErrorInfo>();
    ASSERT_TRUE(supports);
    EXPECT_EQ(supports->InterfaceSupportsErrorInfo(IID_ISample), S_OK);
    EXPECT_EQ(supports->InterfaceSupportsErrorInfo(IID_IOleObject), S_FALSE);
    common::ComPtr<IErrorInfo> info;
    ASSERT_EQ(::GetErrorInfo(0, info.put()), S_OK);
    common::UniqueBstr text;
    ASSERT_EQ(info->GetDescription(text.put()), S_OK);
    EXPECT_EQ(text.view(), L"no good");
    GUID iid = {};
    ASSERT_EQ(info->GetGUID(&iid), S_OK);
    EXPECT_EQ(iid, IID_ISample);
}

TEST_F(Dispatch, ClassInformationNamesClassAndEventInterface) {
    common::ComPtr<IProvideClassInfo2> provide = sample_.as<IProvideClassInfo2>();
    ASSERT_TRUE(provide);
    GUID source = {};
    ASSERT_EQ(provide->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_EQ(source, DIID__ISampleEvents);
    common::ComPtr<ITypeInfo> info;
    ASSERT_EQ(provide->GetClassInfo(info.put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->guid, CLSID_Sample);
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    info->ReleaseTypeAttr(attributes);
}

} // namespace
