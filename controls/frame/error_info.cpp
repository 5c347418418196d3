#include "frame/error_info.h"

#include "common/com.h"

namespace frame {

HRESULT ReportError(REFCLSID clsid, REFIID iid, HRESULT hr, const wchar_t* description) noexcept {
    common::ComPtr<ICreateErrorInfo> create;
    if (FAILED(::CreateErrorInfo(create.put()))) {
        return hr;
    }
    create->SetGUID(iid);
    LPOLESTR progId = nullptr;
    if (SUCCEEDED(::ProgIDFromCLSID(clsid, &progId))) {
        create->SetSource(progId);
        ::CoTaskMemFree(progId);
    }
    create->SetDescription(const_cast<LPOLESTR>(description));
    common::ComPtr<IErrorInfo> info = create.as<IErrorInfo>();
    if (info) {
        ::SetErrorInfo(0, info.get());
    }
    return hr;
}

} // namespace frame
