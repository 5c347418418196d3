// What the library itself records: its load into a process and the system's
// question whether it may go.
#include <algorithm>

#include "barcode_events.h"
#include "barcode_fixture.h"
#include "testsupport/child.h"

namespace {

int LoadLibraryChild(const std::vector<std::wstring>&) {
    HMODULE module = ::LoadLibraryW(L"HVTAXBarCodeReader.dll");
    if (module == nullptr) {
        return 2;
    }
    auto canUnload = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
    return canUnload != nullptr && canUnload() == S_OK ? 0 : 3;
}
testsupport::ChildRegistration g_loadChild(L"load-barcode-library", &LoadLibraryChild);

using Library = BarcodeTest;

TEST_F(Library, LoadingAndTheUnloadQuestionAreLogged) {
    ASSERT_EQ(testsupport::RunChild(L"load-barcode-library"), 0u);
    const std::vector<HVTEventRecord> events = LoggedEvents();
    auto loaded = std::find_if(events.begin(), events.end(), [](const HVTEventRecord& r) {
        return r.code == hvt::barcode::LibraryLoaded;
    });
    ASSERT_NE(loaded, events.end());
    EXPECT_NE(loaded->parameter1, 0u) << "the module handle";
    auto asked = std::find_if(loaded, events.end(), [](const HVTEventRecord& r) {
        return r.code == hvt::barcode::CanUnloadAsked;
    });
    ASSERT_NE(asked, events.end());
    EXPECT_EQ(asked->parameter1, 0u) << "no object, no lock";
}

TEST_F(Library, AControlInAFormDeliversReadsThroughItsOwnWindow) {
    testsupport::OleContainer container;
    ASSERT_EQ(container.CreateAndActivate(CLSID_HVTAXBarCode), S_OK);
    HWND window = container.ControlWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window)) << "invisible at run time";
    auto control = container.As<IHVTAXBarCode>();
    connections_.push_back(recorder_->Connect(control.get()));
    common::UniqueBstr name(device_);
    ASSERT_EQ(control->put_DeviceName(name.get()), S_OK);
    ASSERT_EQ(control->put_ReadAhead(VARIANT_TRUE), S_OK);
    EXPECT_EQ(container.ControlWindow(), window) << "no hidden window of its own";
    Scan("in a form");
    ASSERT_EQ(control->PostRead(0, 0), S_OK);
    ASSERT_TRUE(PumpUntilEvents(1));
    EXPECT_EQ(CompletionOf(Events()[0]).data, L"in a form");

    // Deactivated, the form takes the window away; the next read still arrives.
    ASSERT_EQ(container.As<IOleInPlaceObject>()->InPlaceDeactivate(), S_OK);
    EXPECT_FALSE(::IsWindow(window));
    Scan("after deactivation");
    ASSERT_EQ(control->PostRead(0, 0), S_OK);
    ASSERT_TRUE(PumpUntilEvents(2));
    EXPECT_EQ(CompletionOf(Events()[1]).data, L"after deactivation");
    connections_.clear();
    container.Close();
}

} // namespace
