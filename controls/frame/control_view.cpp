// The control's picture for the container: the view object and the data
// object (a metafile).
#include "frame/control.h"
#include "units.h"

namespace frame {

// --- IViewObject, IViewObject2, IViewObjectEx ---

HRESULT ControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                          LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    if (dc == nullptr) {
        return E_INVALIDARG;
    }
    RECT area = {};
    if (bounds != nullptr) {
        area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    } else if (window_) {
        ::GetClientRect(window_.get(), &area);
    } else {
        return E_INVALIDARG;
    }
    try {
        OnDraw(dc, area);
    } catch (...) {
        return E_FAIL;
    }
    return S_OK;
}

HRESULT ControlBase::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** palette) {
    if (palette != nullptr) {
        *palette = nullptr;
    }
    return S_FALSE; // no particular colours
}

HRESULT ControlBase::Freeze(DWORD, LONG, void*, DWORD*) {
    return E_NOTIMPL;
}
HRESULT ControlBase::Unfreeze(DWORD) {
    return E_NOTIMPL;
}

HRESULT ControlBase::SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* sink) {
    viewAspects_ = aspects;
    viewAdvf_ = advf;
    viewSink_ = common::ComPtr<IAdviseSink>(sink);
    return S_OK;
}

HRESULT ControlBase::GetAdvise(DWORD* aspects, DWORD* advf, IAdviseSink** sink) {
    if (aspects != nullptr) {
        *aspects = viewAspects_;
    }
    if (advf != nullptr) {
        *advf = viewAdvf_;
    }
    if (sink != nullptr) {
        viewSink_.copy_to(sink);
    }
    return S_OK;
}

HRESULT ControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

HRESULT ControlBase::GetRect(DWORD aspect, LPRECTL rect) {
    if (rect == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    *rect = {0, 0, extent_.cx, extent_.cy};
    return S_OK;
}

HRESULT ControlBase::GetViewStatus(DWORD* status) {
    if (status == nullptr) {
        return E_POINTER;
    }
    *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
    return S_OK;
}

HRESULT ControlBase::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG, DWORD* hit) {
    if (bounds == nullptr || hit == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    *hit = ::PtInRect(bounds, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT ControlBase::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG, DWORD* hit) {
    if (bounds == nullptr || rect == nullptr || hit == nullptr) {
        return E_POINTER;
    }
    if (aspect != DVASPECT_CONTENT) {
        return DV_E_DVASPECT;
    }
    RECT overlap;
    *hit = ::IntersectRect(&overlap, bounds, rect) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    return S_OK;
}

HRESULT ControlBase::GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) {
    return E_NOTIMPL;
}

// --- IDataObject ---

HRESULT ControlBase::QueryGetData(FORMATETC* format) {
    if (format == nullptr) {
        return E_POINTER;
    }
    if (format->cfFormat != CF_METAFILEPICT || (format->tymed & TYMED_MFPICT) == 0) {
        return DV_E_FORMATETC;
    }
    return format->dwAspect == DVASPECT_CONTENT ? S_OK : DV_E_DVASPECT;
}

HRESULT ControlBase::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (medium == nullptr) {
        return E_POINTER;
    }
    HRESULT hr = QueryGetData(format);
    if (FAILED(hr)) {
        return hr;
    }
    HDC dc = ::CreateMetaFileW(nullptr);
    if (dc == nullptr) {
        return E_OUTOFMEMORY;
    }
    const SIZE pixels = HimetricToPixels(extent_);
    ::SetMapMode(dc, MM_ANISOTROPIC);
    ::SetWindowOrgEx(dc, 0, 0, nullptr);
    ::SetWindowExtEx(dc, pixels.cx, pixels.cy, nullptr);
    const RECT area = {0, 0, pixels.cx, pixels.cy};
    try {
        OnDraw(dc, area);
    } catch (...) {
    }
    HMETAFILE metafile = ::CloseMetaFile(dc);
    if (metafile == nullptr) {
        return E_OUTOFMEMORY;
    }
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
    if (memory == nullptr) {
        ::DeleteMetaFile(metafile);
        return E_OUTOFMEMORY;
    }
    auto* picture = static_cast<METAFILEPICT*>(::GlobalLock(memory));
    picture->mm = MM_ANISOTROPIC;
    picture->xExt = extent_.cx;
    picture->yExt = extent_.cy;
    picture->hMF = metafile;
    ::GlobalUnlock(memory);
    medium->tymed = TYMED_MFPICT;
    medium->hMetaFilePict = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT ControlBase::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return E_NOTIMPL;
}

HRESULT ControlBase::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr) {
        out->ptd = nullptr;
    }
    return DATA_S_SAMEFORMATETC;
}

HRESULT ControlBase::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT ControlBase::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    return ::OleRegEnumFormatEtc(*class_.clsid, direction, formats);
}

HRESULT ControlBase::DAdvise(FORMATETC* format, DWORD advf, IAdviseSink* sink, DWORD* connection) {
    if (!dataAdvise_) {
        HRESULT hr = ::CreateDataAdviseHolder(dataAdvise_.put());
        if (FAILED(hr)) {
            return hr;
        }
    }
    return dataAdvise_->Advise(static_cast<IDataObject*>(this), format, advf, sink, connection);
}

HRESULT ControlBase::DUnadvise(DWORD connection) {
    return dataAdvise_ ? dataAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT ControlBase::EnumDAdvise(IEnumSTATDATA** advise) {
    if (advise == nullptr) {
        return E_POINTER;
    }
    *advise = nullptr;
    return dataAdvise_ ? dataAdvise_->EnumAdvise(advise) : S_OK;
}

} // namespace frame
