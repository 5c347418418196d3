// The host's own script objects: IDispatch over a table of member names, and
// the argument conversions their members share.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "common/com.h"

namespace scripthost {

struct Member {
    const wchar_t* name;
    DISPID id;
};

class NamedDispatch : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* error, UINT* badArgument) override;

protected:
    // `members` ends with a null name; it must outlive the object.
    explicit NamedDispatch(const Member* members) noexcept : members_(members) {}
    virtual ~NamedDispatch() = default;

    // One call of a member; `result` may be null. A failure with text for the
    // script goes through Fail.
    virtual HRESULT Call(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result,
                         EXCEPINFO* error) = 0;

private:
    const Member* members_;
    LONG refs_ = 1;
};

// Fills the script's exception information; answers DISP_E_EXCEPTION.
HRESULT Fail(EXCEPINFO* error, HRESULT code, const std::wstring& description);

// Argument `index` in the member's order (dispatch passes them reversed),
// without references; VT_ERROR/DISP_E_PARAMNOTFOUND when it is missing.
common::UniqueVariant Argument(const DISPPARAMS& params, UINT index);
// Argument `index` converted; false when it is missing or does not convert.
bool StringArgument(const DISPPARAMS& params, UINT index, std::wstring& value);
bool LongArgument(const DISPPARAMS& params, UINT index, LONG& value);
// The object behind argument `index` (its IUnknown identity); null when it is none.
common::ComPtr<IUnknown> ObjectArgument(const DISPPARAMS& params, UINT index);

// Result setters that ignore a null result.
void SetResult(VARIANT* result, const std::wstring& text);
void SetResult(VARIANT* result, LONG value);
void SetResult(VARIANT* result, IDispatch* object);

} // namespace scripthost
