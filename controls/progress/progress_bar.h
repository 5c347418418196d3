// ProgressBar: the platform's progress bar in a script's form. The control's
// own window holds one progress window that fills it.
#pragma once

#include "common/handle.h"
#include "frame/control.h"
#include "qzpeProgressBar.h"

class ProgressBar final : public frame::Control<ProgressBar, IProgressBar> {
public:
    static const frame::ControlClass& Class();
    static std::span<const frame::Message<ProgressBar>> Messages();

    HRESULT STDMETHODCALLTYPE get_Version(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Visible(BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Visible(BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE SetRange(LONG Min, LONG Max) override;
    HRESULT STDMETHODCALLTYPE get_Value(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Value(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Min(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Min(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Max(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Max(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Scrolling(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Scrolling(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Hwnd(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Border(BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Border(BOOL newVal) override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam, bool& handled);

    // Creates the progress window over the whole control window.
    bool CreateProgressWindow(DWORD styles);
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    LONG min_ = 0;
    LONG max_ = 100;
    LONG scrolling_ = 1; // the first window is segmented
    common::UniqueWindow progress_;
};
