#include <gtest/gtest.h>

#include "common/com.h"

using namespace common;

namespace {

// Counts its references so the owners' bookkeeping can be checked.
class CountedObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    ULONG references = 1;
};

} // namespace

TEST(ComPtr, CopiesAddReferencesAndOwnersReleaseThem) {
    CountedObject object;
    {
        ComPtr<IUnknown> first(&object);
        EXPECT_EQ(object.references, 2u);
        ComPtr<IUnknown> second = first;
        EXPECT_EQ(object.references, 3u);
        ComPtr<IUnknown> third = std::move(second);
        EXPECT_EQ(object.references, 3u);
        EXPECT_FALSE(second);
    }
    EXPECT_EQ(object.references, 1u);
}

TEST(ComPtr, AttachAdoptsAndCopyToHandsOutANewReference) {
    CountedObject object;
    object.AddRef();
    IUnknown* out = nullptr;
    {
        auto owner = ComPtr<IUnknown>::attach(&object);
        EXPECT_EQ(object.references, 2u);
        EXPECT_EQ(owner.copy_to(&out), S_OK);
        EXPECT_EQ(object.references, 3u);
        EXPECT_EQ(owner.copy_to(nullptr), E_POINTER);
    }
    EXPECT_EQ(out, &object);
    out->Release();
    EXPECT_EQ(object.references, 1u);
}

TEST(ComPtr, AsQueriesAnotherInterface) {
    CountedObject object;
    ComPtr<IUnknown> owner(&object);
    EXPECT_TRUE(owner.as<IUnknown>(IID_IUnknown));
    EXPECT_FALSE(owner.as<IDispatch>(IID_IDispatch));
    EXPECT_EQ(object.references, 2u);
}

TEST(UniqueBstr, KeepsEmbeddedZerosAndCopies) {
    UniqueBstr text(std::wstring_view(L"a\0b", 3));
    EXPECT_EQ(text.length(), 3u);
    BSTR copy = text.copy();
    EXPECT_EQ(::SysStringLen(copy), 3u);
    EXPECT_NE(copy, text.get());
    ::SysFreeString(copy);
    UniqueBstr moved = std::move(text);
    EXPECT_EQ(text.get(), nullptr);
    EXPECT_EQ(moved.view(), std::wstring_view(L"a\0b", 3));
}

TEST(UniqueVariant, ClearsWhatItHolds) {
    CountedObject object;
    {
        UniqueVariant value;
        value->vt = VT_UNKNOWN;
        value->punkVal = &object;
        object.AddRef();
        EXPECT_EQ(object.references, 2u);
    }
    EXPECT_EQ(object.references, 1u);

    UniqueVariant text;
    text->vt = VT_BSTR;
    text->bstrVal = ::SysAllocString(L"kept");
    VARIANT out = text.release();
    EXPECT_EQ(text->vt, VT_EMPTY);
    EXPECT_STREQ(out.bstrVal, L"kept");
    ::VariantClear(&out);
}
