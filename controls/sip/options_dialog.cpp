// The keyboard panel's options: a predefined style and the flat look.
#include "frame/module.h"
#include "keyboard_vorp.h"
#include "resource.h"

namespace {

struct StyleButton {
    int control;
    SipStyle style;
};
constexpr StyleButton kStyleButtons[] = {
    {IDC_STYLE_NUMERIC, StyleInteger},
    {IDC_STYLE_MONEY, StyleFloat},
    {IDC_STYLE_CALCULATOR, StyleCalculator},
    {IDC_STYLE_ALPHA, StyleAlpha},
};

int ButtonOf(SipStyle style) {
    for (const StyleButton& button : kStyleButtons) {
        if (button.style == style) {
            return button.control;
        }
    }
    return IDC_STYLE_CUSTOM;
}

SipStyle ChosenStyle(HWND dialog) {
    for (const StyleButton& button : kStyleButtons) {
        if (::IsDlgButtonChecked(dialog, button.control) == BST_CHECKED) {
            return button.style;
        }
    }
    return StyleCustom;
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* keyboard = reinterpret_cast<KeyboardVorp*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        keyboard = reinterpret_cast<KeyboardVorp*>(lParam);
        ::SetWindowTextW(dialog, keyboard->DisplayName().c_str());
        SipStyle style = StyleInteger;
        keyboard->get_Style(&style);
        ::CheckRadioButton(dialog, IDC_STYLE_NUMERIC, IDC_STYLE_CUSTOM, ButtonOf(style));
        BOOL flat = 0;
        keyboard->get_FlatLook(&flat);
        ::CheckDlgButton(dialog, IDC_FLAT_LOOK, flat != 0 ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    }
    case WM_COMMAND:
        if (keyboard == nullptr) {
            return FALSE;
        }
        if (LOWORD(wParam) == IDOK) {
            const SipStyle style = ChosenStyle(dialog);
            const BOOL flat = ::IsDlgButtonChecked(dialog, IDC_FLAT_LOOK) == BST_CHECKED;
            ::EndDialog(dialog, IDOK);
            keyboard->put_Style(style);
            keyboard->put_FlatLook(flat);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    case WM_SIZE:
        ::MoveWindow(::GetDlgItem(dialog, IDOK), LOWORD(lParam) - 92, HIWORD(lParam) - 32, 86, 26,
                     TRUE);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

HRESULT KeyboardVorp::UserOptionsDlg(HWND parent) {
    const INT_PTR result =
        ::DialogBoxParamW(frame::module::Instance(), MAKEINTRESOURCEW(IDD_OPTIONS), parent,
                          OptionsProc, reinterpret_cast<LPARAM>(this));
    return result == -1 ? E_FAIL : S_OK;
}
