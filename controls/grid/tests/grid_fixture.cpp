#include "grid_fixture.h"

#include <olectl.h>
#include "testsupport/server_registration.h"

HRESULT RegisterGridServer() {
    return testsupport::RegisterServer(L"Listora.dll");
}

HRESULT UnregisterGridServer() {
    return testsupport::UnregisterServer(L"Listora.dll");
}

int CountEvents(const testsupport::EventRecorder& recorder, DISPID id) {
    int count = 0;
    for (const auto& event : recorder.Events()) {
        count += event.dispid == id ? 1 : 0;
    }
    return count;
}

void GridTest::SetUp() {
    ASSERT_EQ(RegisterGridServer(), S_OK);
}

void GridTest::TearDown() {
    recorderConnection_.Disconnect();
    answersConnection_.Disconnect();
    container_.Close();
}

void GridTest::Activate(int width, int height) {
    ASSERT_EQ(container_.CreateAndActivate(CLSID_Listora), S_OK);
    grid_ = container_.As<IListora>();
    ASSERT_TRUE(grid_);
    ASSERT_EQ(container_.Resize({0, 0, width, height}), S_OK);
    recorder_ = testsupport::EventRecorder::Create(DIID_IListoraEvents);
    recorderConnection_ = recorder_->Connect(container_.Control());
    ASSERT_EQ(recorderConnection_.result(), S_OK);
    ASSERT_NE(List(), nullptr);
}

HWND GridTest::List() const {
    return ::FindWindowExW(container_.ControlWindow(), nullptr, L"LR:SysListView32", nullptr);
}

HWND GridTest::Header() const {
    return reinterpret_cast<HWND>(::SendMessageW(List(), LVM_GETHEADER, 0, 0));
}

void GridTest::Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void GridTest::PaintList() const {
    ::InvalidateRect(List(), nullptr, TRUE);
    ::UpdateWindow(List());
}

void GridTest::AnswerCells() {
    answers_ = testsupport::EventHandler::Create(
        DIID_IListoraEvents, [this](DISPID id, DISPPARAMS& params) {
            if (id == 1) { // GetItemText(Row, Column, Text)
                ++textRequests_;
                const LONG row = params.rgvarg[2].lVal;
                const LONG column = params.rgvarg[1].lVal;
                auto found = cells_.find({row, column});
                VARIANT* text = testsupport::EventHandler::ByRefArgument(params, 2);
                if (found != cells_.end() && text != nullptr) {
                    ::VariantClear(text);
                    text->vt = VT_BSTR;
                    text->bstrVal = ::SysAllocString(found->second.c_str());
                }
            } else if (id == 2) { // GetRowState(Row, Checked)
                const LONG row = params.rgvarg[1].lVal;
                VARIANT* state = testsupport::EventHandler::ByRefArgument(params, 1);
                if (state != nullptr) {
                    ::VariantClear(state);
                    state->vt = VT_BOOL;
                    state->boolVal = checked_[row] ? VARIANT_TRUE : VARIANT_FALSE;
                }
            }
        });
    answersConnection_ = answers_->Connect(container_.Control());
    ASSERT_EQ(answersConnection_.result(), S_OK);
}

std::wstring GridTest::CellText(int row, int column) const {
    wchar_t text[260] = {};
    LVITEMW item = {};
    item.iSubItem = column - 1;
    item.pszText = text;
    item.cchTextMax = 260;
    ::SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row - 1),
                   reinterpret_cast<LPARAM>(&item));
    return text;
}
