// Showing and applying the two pages. Any object that is not a barcode
// control, and any failed get or put, ends the operation with E_FAIL; what
// was handled before it keeps what it got.
#include "property_pages.h"

#include "HVTAXBarCodeReader.h"
#include "common/com.h"
#include "resource.h"

namespace {

// The symbology bits of DeviceDependentGrid that have a check box; bits 14,
// 15 and 17 to 31 have none, so applying the page clears them.
struct SymbologyBox {
    LONG bit;
    int id;
};
const SymbologyBox kSymbologyBoxes[] = {
    {0x00001, IDC_CODE39},  {0x00002, IDC_CODE93},  {0x00004, IDC_CODE49},
    {0x00008, IDC_I2OF5},   {0x00010, IDC_CODABAR}, {0x00020, IDC_UPC},
    {0x00040, IDC_CODE128}, {0x00080, IDC_CODE16K}, {0x00100, IDC_PLESSEY},
    {0x00200, IDC_CODE11},  {0x00400, IDC_MSI},     {0x00800, IDC_PDF417},
    {0x01000, IDC_D2OF5},   {0x02000, IDC_TELEPEN}, {0x10000, IDC_NONSTANDARD_AIM},
};

common::ComPtr<IHVTAXBarCode> BarcodeControl(const common::ComPtr<IUnknown>& object) {
    return object.as<IHVTAXBarCode>(IID_IHVTAXBarCode);
}

void SetBox(HWND page, int id, bool checked) {
    ::CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

VARIANT_BOOL BoxValue(HWND page, int id) {
    return ::IsDlgButtonChecked(page, id) == BST_CHECKED ? VARIANT_TRUE : VARIANT_FALSE;
}

// The BOOL properties with a check box on the general page, in the order the
// page reads and writes them.
struct PropertyBox {
    int id;
    HRESULT (STDMETHODCALLTYPE IHVTAXBarCode::*get)(VARIANT_BOOL*);
    HRESULT (STDMETHODCALLTYPE IHVTAXBarCode::*put)(VARIANT_BOOL);
};
const PropertyBox kPropertyBoxes[] = {
    {IDC_AUTO_BEEP, &IHVTAXBarCode::get_AutoBeep, &IHVTAXBarCode::put_AutoBeep},
    {IDC_AUTO_GOOD_READ_LED, &IHVTAXBarCode::get_AutoGoodReadLED,
     &IHVTAXBarCode::put_AutoGoodReadLED},
    {IDC_AUTO_DATA_VALID_LED, &IHVTAXBarCode::get_AutoDataValidLED,
     &IHVTAXBarCode::put_AutoDataValidLED},
    {IDC_TRIGGER_ENABLE, &IHVTAXBarCode::get_TriggerEnable, &IHVTAXBarCode::put_TriggerEnable},
    {IDC_CONVERT_DATA_TO_UNICODE, &IHVTAXBarCode::get_ConvertDataToUnicode,
     &IHVTAXBarCode::put_ConvertDataToUnicode},
};

// Reads a BOOL property into its check box.
bool LoadBox(HWND page, IHVTAXBarCode* control, const PropertyBox& box) {
    VARIANT_BOOL value = VARIANT_FALSE;
    if (FAILED((control->*box.get)(&value))) {
        return false;
    }
    SetBox(page, box.id, value != VARIANT_FALSE);
    return true;
}

bool ApplyBox(HWND page, IHVTAXBarCode* control, const PropertyBox& box) {
    return SUCCEEDED((control->*box.put)(BoxValue(page, box.id)));
}

// Flushing on a grid change is only meaningful with read-ahead, so its box
// is live only then.
const PropertyBox kFlushBox = {IDC_FLUSH_DATA_ON_GRID_CHANGE,
                               &IHVTAXBarCode::get_FlushDataOnGridChange,
                               &IHVTAXBarCode::put_FlushDataOnGridChange};

} // namespace

const frame::PropertyPageClass& BarCodePropPage::Class() {
    static const frame::PropertyPageClass cls = {
        &CLSID_BarCodePropPage,      IDD_BARCODEPROPPAGE,          IDS_TITLEBarCodePropPage,
        IDS_HELPFILEBarCodePropPage, IDS_DOCSTRINGBarCodePropPage,
    };
    return cls;
}

HRESULT BarCodePropPage::LoadFromObjects() {
    HWND page = PageWindow();
    for (const common::ComPtr<IUnknown>& object : Objects()) {
        common::ComPtr<IHVTAXBarCode> control = BarcodeControl(object);
        if (!control) {
            return E_FAIL;
        }
        IHVTAXBarCode* c = control.get();
        VARIANT_BOOL readAhead = VARIANT_FALSE;
        if (FAILED(c->get_ReadAhead(&readAhead))) {
            return E_FAIL;
        }
        ::EnableWindow(::GetDlgItem(page, kFlushBox.id), readAhead != VARIANT_FALSE);
        if (readAhead != VARIANT_FALSE && !LoadBox(page, c, kFlushBox)) {
            return E_FAIL;
        }
        for (const PropertyBox& box : kPropertyBoxes) {
            if (!LoadBox(page, c, box)) {
                return E_FAIL;
            }
        }
    }
    return S_OK;
}

HRESULT BarCodePropPage::ApplyToObjects() {
    HWND page = PageWindow();
    for (const common::ComPtr<IUnknown>& object : Objects()) {
        common::ComPtr<IHVTAXBarCode> control = BarcodeControl(object);
        if (!control) {
            return E_FAIL;
        }
        IHVTAXBarCode* c = control.get();
        VARIANT_BOOL readAhead = VARIANT_FALSE;
        if (FAILED(c->get_ReadAhead(&readAhead))) {
            return E_FAIL;
        }
        if (readAhead != VARIANT_FALSE && !ApplyBox(page, c, kFlushBox)) {
            return E_FAIL;
        }
        for (const PropertyBox& box : kPropertyBoxes) {
            if (!ApplyBox(page, c, box)) {
                return E_FAIL;
            }
        }
    }
    return S_OK;
}

const frame::PropertyPageClass& BarCodeGridPropPage::Class() {
    static const frame::PropertyPageClass cls = {
        &CLSID_BarCodeGridPropPage,       IDD_BARCODEGRIDPROPPAGE,
        IDS_TITLEBarCodeGridPropPage,     IDS_HELPFILEBarCodeGridPropPage,
        IDS_DOCSTRINGBarCodeGridPropPage,
    };
    return cls;
}

HRESULT BarCodeGridPropPage::LoadFromObjects() {
    HWND page = PageWindow();
    for (const common::ComPtr<IUnknown>& object : Objects()) {
        common::ComPtr<IHVTAXBarCode> control = BarcodeControl(object);
        LONG mask = 0;
        if (!control || FAILED(control->get_DeviceDependentGrid(&mask))) {
            return E_FAIL;
        }
        for (const SymbologyBox& box : kSymbologyBoxes) {
            SetBox(page, box.id, (mask & box.bit) != 0);
        }
    }
    return S_OK;
}

HRESULT BarCodeGridPropPage::ApplyToObjects() {
    HWND page = PageWindow();
    for (const common::ComPtr<IUnknown>& object : Objects()) {
        common::ComPtr<IHVTAXBarCode> control = BarcodeControl(object);
        if (!control) {
            return E_FAIL;
        }
        LONG mask = 0;
        for (const SymbologyBox& box : kSymbologyBoxes) {
            if (BoxValue(page, box.id) != VARIANT_FALSE) {
                mask |= box.bit;
            }
        }
        if (FAILED(control->put_DeviceDependentGrid(mask))) {
            return E_FAIL;
        }
    }
    return S_OK;
}
