// The windowless variant of the in-place object. The control always has a
// window of its own, so a container that still sends it a message through
// this interface reaches the control's message table directly.
#include "frame/control.h"

namespace frame {

HRESULT ControlBase::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (result == nullptr) {
        return E_POINTER;
    }
    *result = 0;
    if (!window_) {
        return S_FALSE;
    }
    try {
        return HandleMessage(message, wParam, lParam, *result) ? S_OK : S_FALSE;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT ControlBase::GetDropTarget(IDropTarget** target) {
    if (target == nullptr) {
        return E_POINTER;
    }
    *target = nullptr;
    return E_NOTIMPL; // nothing is dropped on a control
}

} // namespace frame
