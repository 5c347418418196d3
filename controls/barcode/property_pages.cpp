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

// Reads a BOOL property into its check box.
template <typename Get> bool LoadBox(HWND page, int id, Get get) {
    VARIANT_BOOL value = VARIANT_FALSE;
    if (FAILED(get(&value))) {
        return false;
    }
    SetBox(page, id, value != VARIANT_FALSE);
    return true;
}

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
        // Flushing on a grid change is only meaningful with read-ahead.
        HWND flush = ::GetDlgItem(page, IDC_FLUSH_DATA_ON_GRID_CHANGE);
        if (readAhead != VARIANT_FALSE) {
            ::EnableWindow(flush, TRUE);
            if (!LoadBox(page, IDC_FLUSH_DATA_ON_GRID_CHANGE,
                         [c](VARIANT_BOOL* v) { return c->get_FlushDataOnGridChange(v); })) {
                return E_FAIL;
            }
        } else {
            ::EnableWindow(flush, FALSE);
        }
        if (!LoadBox(page, IDC_AUTO_BEEP, [c](VARIANT_BOOL* v) { return c->get_AutoBeep(v); }) ||
            !LoadBox(page, IDC_AUTO_GOOD_READ_LED,
                     [c](VARIANT_BOOL* v) { return c->get_AutoGoodReadLED(v); }) ||
            !LoadBox(page, IDC_AUTO_DATA_VALID_LED,
                     [c](VARIANT_BOOL* v) { return c->get_AutoDataValidLED(v); }) ||
            !LoadBox(page, IDC_TRIGGER_ENABLE,
                     [c](VARIANT_BOOL* v) { return c->get_TriggerEnable(v); }) ||
            !LoadBox(page, IDC_CONVERT_DATA_TO_UNICODE,
                     [c](VARIANT_BOOL* v) { return c->get_ConvertDataToUnicode(v); })) {
            return E_FAIL;
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
        if (readAhead != VARIANT_FALSE &&
            FAILED(c->put_FlushDataOnGridChange(BoxValue(page, IDC_FLUSH_DATA_ON_GRID_CHANGE)))) {
            return E_FAIL;
        }
        if (FAILED(c->put_AutoBeep(BoxValue(page, IDC_AUTO_BEEP))) ||
            FAILED(c->put_AutoGoodReadLED(BoxValue(page, IDC_AUTO_GOOD_READ_LED))) ||
            FAILED(c->put_AutoDataValidLED(BoxValue(page, IDC_AUTO_DATA_VALID_LED))) ||
            FAILED(c->put_TriggerEnable(BoxValue(page, IDC_TRIGGER_ENABLE))) ||
            FAILED(c->put_ConvertDataToUnicode(BoxValue(page, IDC_CONVERT_DATA_TO_UNICODE)))) {
            return E_FAIL;
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
