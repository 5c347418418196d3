// A form with one grid as the application script would set it up: a
// million rows, check boxes, a sorted column with its arrow and a coloured
// header. It answers the grid's events itself and closes after a while
// (the first argument, in seconds; 10 by default).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "Listora.h"
#include "common/com.h"
#include "testsupport/event_handler.h"
#include "testsupport/ole_container.h"
#include "testsupport/server_registration.h"

namespace {

constexpr LONG kRows = 1000000;

void SetText(VARIANT* text, const std::wstring& value) {
    ::VariantClear(text);
    text->vt = VT_BSTR;
    text->bstrVal = ::SysAllocString(value.c_str());
}

// The script's answers: an item number, a description and a quantity.
void Answer(DISPID id, DISPPARAMS& params) {
    if (id == 1) {
        const LONG row = params.rgvarg[2].lVal;
        const LONG column = params.rgvarg[1].lVal;
        VARIANT* text = testsupport::EventHandler::ByRefArgument(params, 2);
        wchar_t cell[64];
        if (column == 1) {
            std::swprintf(cell, 64, L"%07ld", static_cast<long>(row));
        } else if (column == 2) {
            std::swprintf(cell, 64, L"Pallet %ld, bay %ld", static_cast<long>(row % 977),
                          static_cast<long>(row % 13 + 1));
        } else {
            std::swprintf(cell, 64, L"%ld", static_cast<long>((row * 37) % 500));
        }
        SetText(text, cell);
    } else if (id == 2) {
        const LONG row = params.rgvarg[1].lVal;
        VARIANT* checked = testsupport::EventHandler::ByRefArgument(params, 1);
        checked->vt = VT_BOOL;
        checked->boolVal = row % 3 == 0 ? VARIANT_TRUE : VARIANT_FALSE;
    }
}

void SetColumn(IListora* grid, LONG index, const wchar_t* header, LONG twips) {
    common::UniqueBstr text(header);
    grid->put_ColumnHeader(index, text.get());
    grid->put_ColumnWidth(index, twips);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    common::ComApartment apartment;
    if (FAILED(testsupport::RegisterServer(L"Listora.dll"))) {
        std::printf("Listora.dll could not be registered\n");
        return 1;
    }
    const UINT seconds = argc > 1 ? static_cast<UINT>(std::wcstoul(argv[1], nullptr, 10)) : 10;
    testsupport::OleContainer container;
    if (FAILED(container.CreateAndActivate(CLSID_Listora))) {
        std::printf("the grid could not be made\n");
        return 1;
    }
    ::SetWindowTextW(container.Form(), L"Stock count");
    RECT client = {};
    ::GetClientRect(container.Form(), &client);
    container.Resize({8, 8, client.right - 8, client.bottom - 8});
    auto grid = container.As<IListora>();
    auto answers = testsupport::EventHandler::Create(DIID_IListoraEvents, &Answer);
    auto connection = answers->Connect(container.Control());

    grid->put_ColumnCount(3);
    SetColumn(grid.get(), 1, L"Item", 1200);
    SetColumn(grid.get(), 2, L"Description of the stock item", 2400);
    SetColumn(grid.get(), 3, L"Qty", 900);
    grid->put_ColumnAlignment(3, lrAlignRight);
    grid->put_HeaderBackColor(RGB(0, 51, 102));
    grid->put_HeaderForeColor(RGB(255, 204, 0));
    grid->put_HeaderFontBold(VARIANT_TRUE);
    grid->put_ShowCheckboxes(VARIANT_TRUE);
    grid->put_RowCount(kRows);
    grid->put_SortArrowColumn(-1);
    grid->put_HideSelection(VARIANT_FALSE);
    grid->put_Selection(3);

    ::SetTimer(nullptr, 0, seconds * 1000, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr) {
            break;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
