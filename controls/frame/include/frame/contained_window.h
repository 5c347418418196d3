// A window the control did not make its own class for (a common control
// child, or that child's own child) whose messages pass through a table of
// the control first. What the table leaves unhandled goes on to the window's
// own procedure.
//
//   frame::ContainedWindow<Grid> list_{this, &Grid::ListMessages};
//   list_.Subclass(listWindow);
#pragma once

#include <windows.h>

#include <span>

#include "frame/control.h"

namespace frame {

class ContainedWindowBase {
public:
    ContainedWindowBase() = default;
    ContainedWindowBase(const ContainedWindowBase&) = delete;
    ContainedWindowBase& operator=(const ContainedWindowBase&) = delete;
    virtual ~ContainedWindowBase() { Unsubclass(); }

    // Puts the table in front of `window`'s procedure; false when it cannot.
    bool Subclass(HWND window) noexcept;
    // Gives the window its own procedure back. Also happens by itself when
    // the window is destroyed.
    void Unsubclass() noexcept;
    HWND get() const noexcept { return window_; }
    explicit operator bool() const noexcept { return window_ != nullptr; }

    // The window's own processing of a message, bypassing the table.
    LRESULT CallOriginal(UINT message, WPARAM wParam, LPARAM lParam) const noexcept;

protected:
    virtual bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    WNDPROC original_ = nullptr;
};

template <typename T> class ContainedWindow final : public ContainedWindowBase {
public:
    using Table = std::span<const Message<T>> (*)();
    ContainedWindow(T* owner, Table table) noexcept : owner_(owner), table_(table) {}
    ~ContainedWindow() override { Unsubclass(); }

protected:
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        for (const Message<T>& entry : table_()) {
            if (entry.message == message) {
                bool handled = true;
                result = (owner_->*entry.handler)(wParam, lParam, handled);
                if (handled) {
                    return true;
                }
            }
        }
        return false;
    }

private:
    T* owner_;
    Table table_;
};

} // namespace frame
