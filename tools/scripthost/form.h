// The script's form: one top-level window on which every control the script
// creates gets a site of its own, and the host's list boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/com.h"
#include "common/handle.h"
#include "testsupport/ole_container.h"

namespace scripthost {

class Form {
public:
    static constexpr const wchar_t* kWindowClass = L"HVTScriptHostForm";

    Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    ~Form();

    // Creates and shows the window. `onClose` runs when the user closes it;
    // the window stays until the form is destroyed.
    bool Create(const std::wstring& title, std::function<void()> onClose);
    HWND Window() const noexcept { return window_.get(); }

    // Sites `object` when it is a control (S_FALSE when it is not): client
    // site, a fresh state, and in-place activation in the next free place
    // unless it is invisible at run time. A control already sited is left alone.
    HRESULT Site(IUnknown* object);
    // A list box in the next free place.
    HWND AddList();
    // The script object that stands for a list, so that Place finds it.
    void NameList(HWND list, IUnknown* object);
    // Moves a sited control or a list to `position` (form client pixels).
    HRESULT Place(IUnknown* identity, const RECT& position);
    // Deactivates, closes and releases every control, the last sited first.
    void CloseAll();

private:
    struct Item {
        common::ComPtr<IUnknown> identity; // the script's object
        std::unique_ptr<testsupport::OleContainer> container;
        HWND list = nullptr; // owned by the form window
        RECT position = {};
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The place below the last item, `height` pixels high, the form's width.
    RECT NextPlace(LONG height) const;

    common::UniqueWindow window_;
    std::function<void()> onClose_;
    std::vector<Item> items_;
};

} // namespace scripthost
