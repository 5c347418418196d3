// The barcode reader control's two design-time property pages. Both talk
// to the selected controls only through IHVTAXBarCode, so each write is an
// ordinary property put: on an open control it reaches the reader at once.
#pragma once

#include "frame/property_page.h"

// The six Boolean options.
class BarCodePropPage final : public frame::PropertyPage {
public:
    static const frame::PropertyPageClass& Class();
    BarCodePropPage() : PropertyPage(Class()) {}

protected:
    HRESULT LoadFromObjects() override;
    HRESULT ApplyToObjects() override;
};

// The symbology mask (DeviceDependentGrid), one check box per symbology.
class BarCodeGridPropPage final : public frame::PropertyPage {
public:
    static const frame::PropertyPageClass& Class();
    BarCodeGridPropPage() : PropertyPage(Class()) {}

protected:
    HRESULT LoadFromObjects() override;
    HRESULT ApplyToObjects() override;
};
