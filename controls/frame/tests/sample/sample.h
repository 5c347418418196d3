// The frame's sample control: persisted properties in a table order that
// differs from their DISPIDs, a transient one, methods with optional and
// by-reference arguments, an event fired at once or from a posted message.
#pragma once

#include <string>

#include "frame/control.h"
#include "frame_sample.h"

class Sample final : public frame::Control<Sample, ISample> {
public:
    Sample() = default;
    // The same control registered as invisible at run time.
    struct Invisible {};
    explicit Sample(Invisible);

    static const frame::ControlClass& Class();
    static const frame::ControlClass& InvisibleClass();
    static HRESULT CreateInvisible(REFIID iid, void** object) noexcept;
    static std::span<const frame::Message<Sample>> Messages();

    HRESULT STDMETHODCALLTYPE get_Text(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Text(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Number(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_Number(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Flag(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Flag(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Scratch(LONG* value) override;
    HRESULT STDMETHODCALLTYPE put_Scratch(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_PutLog(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE Add(LONG first, VARIANT second, LONG* sum) override;
    HRESULT STDMETHODCALLTYPE Swap(LONG* value, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Raise(LONG value, BSTR text) override;
    HRESULT STDMETHODCALLTYPE Fail(BSTR description) override;
    HRESULT STDMETHODCALLTYPE get_UserMode(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE RaiseLater(LONG value) override;

private:
    LRESULT OnRaise(WPARAM wParam, LPARAM lParam, bool& handled);
    void Log(const wchar_t* name);

    common::UniqueBstr text_{L"sample"};
    LONG number_ = 7;
    VARIANT_BOOL flag_ = VARIANT_TRUE;
    LONG scratch_ = 0;
    std::wstring putLog_;
};
