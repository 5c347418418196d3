#pragma once

#define IDS_PROJNAME 100
#define IDB_HVTAXBARCODE 101
#define IDR_HVTAXBARCODE 102

// BarCodePropPage: its strings, registry script and dialog.
#define IDS_TITLEBarCodePropPage 115
#define IDS_HELPFILEBarCodePropPage 116
#define IDS_DOCSTRINGBarCodePropPage 117
#define IDR_BARCODEPROPPAGE 118
#define IDD_BARCODEPROPPAGE 119

// BarCodeGridPropPage: its strings, registry script and dialog.
#define IDS_TITLEBarCodeGridPropPage 120
#define IDS_HELPFILEBarCodeGridPropPage 121
#define IDS_DOCSTRINGBarCodeGridPropPage 122
#define IDR_BARCODEGRIDPROPPAGE 123
#define IDD_BARCODEGRIDPROPPAGE 124

// Check boxes of BarCodePropPage.
#define IDC_AUTO_GOOD_READ_LED 201
#define IDC_AUTO_BEEP 202
#define IDC_FLUSH_DATA_ON_GRID_CHANGE 203
#define IDC_AUTO_DATA_VALID_LED 204
#define IDC_TRIGGER_ENABLE 205
#define IDC_CONVERT_DATA_TO_UNICODE 206

// Check boxes of BarCodeGridPropPage, one per symbology.
#define IDC_CODE39 204
#define IDC_CODE49 205
#define IDC_CODE11 206
#define IDC_CODE93 207
#define IDC_CODE128 208
#define IDC_CODE16K 209
#define IDC_I2OF5 210
#define IDC_PLESSEY 211
#define IDC_MSI 212
#define IDC_PDF417 213
#define IDC_UPC 214
#define IDC_CODABAR 215
#define IDC_D2OF5 217
#define IDC_TELEPEN 218
#define IDC_NONSTANDARD_AIM 222
