// HVTAXBarCode: the application script's barcode reader. Invisible at run
// time; opens a reader device of the data server, forwards attribute changes
// and commands to it, and raises each finished read as CompleteRead.
#pragma once

#include <memory>

#include "HVTAXBarCodeReader.h"
#include "HVTDataServer.h"
#include "common/com.h"
#include "frame/control.h"
#include "read_channel.h"

class HVTAXBarCode final : public frame::Control<HVTAXBarCode, IHVTAXBarCode> {
public:
    static const frame::ControlClass& Class();
    static std::span<const frame::Message<HVTAXBarCode>> Messages();

    HVTAXBarCode();
    ~HVTAXBarCode() override;

    HRESULT STDMETHODCALLTYPE get_DeviceName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_DeviceName(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_ReadAhead(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ReadAhead(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_AutoGoodReadLED(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_AutoGoodReadLED(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_AutoDataValidLED(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_AutoDataValidLED(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_AutoBeep(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_AutoBeep(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_ConvertDataToUnicode(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ConvertDataToUnicode(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_FlushDataOnGridChange(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_FlushDataOnGridChange(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE get_TriggerEnable(VARIANT_BOOL* pVal) override;
    HRESULT STDMETHODCALLTYPE put_TriggerEnable(VARIANT_BOOL newVal) override;
    HRESULT STDMETHODCALLTYPE ControlScanner(VARIANT_BOOL bOn) override;
    HRESULT STDMETHODCALLTYPE ControlLaserPower(VARIANT_BOOL bOn) override;
    HRESULT STDMETHODCALLTYPE ControlGoodReadLED(VARIANT_BOOL bOn) override;
    HRESULT STDMETHODCALLTYPE ControlDataValidLED(VARIANT_BOOL bOn) override;
    HRESULT STDMETHODCALLTYPE IssueBeeps(LONG BeepType, SHORT sPitch, SHORT sOnDuration,
                                         SHORT sOffDuration) override;
    HRESULT STDMETHODCALLTYPE Initialize() override;
    HRESULT STDMETHODCALLTYPE PostRead(LONG lBytes, LONG lTimeout) override;
    HRESULT STDMETHODCALLTYPE get_DeviceDependentGrid(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_DeviceDependentGrid(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_DeviceIndependentGrid(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_DeviceIndependentGrid(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE QueryData(LONG* plTotalBytes, SHORT* psNumMsgs,
                                        LONG* plNextMsgSize) override;
    HRESULT STDMETHODCALLTYPE Unload() override;

protected:
    void OnDraw(HDC dc, const RECT& bounds) override;
    void OnFinalRelease() override;

private:
    // The opening of the device (device_open.cpp).
    HRESULT OpenDevice();
    // Runs `call` against the open device: a pending read is cancelled
    // first and posted again after; a failure is logged with `failureCode`
    // (none when 0).
    template <typename Call> HRESULT DeviceOperation(DWORD failureCode, Call call);
    HRESULT CancelPendingRead();
    // Ends the reader thread and lets the device go (Unload, destruction).
    void Teardown();

    // The completion message and the event (completion.cpp).
    LRESULT OnCompleteRead(WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam, bool& handled);
    void FireCompleteRead();

    // Stores a put's value under the frame's put protocol: S_FALSE when the
    // container refused the edit.
    template <typename Store> HRESULT StoreProperty(DISPID id, DWORD setBit, Store store);
    // A BOOL property that lives in a reader attribute.
    HRESULT GetAttributeBool(LONG attribute, LONG bytes, DWORD failureCode, VARIANT_BOOL* value);
    HRESULT SetAttributeBool(LONG attribute, VARIANT_BOOL value, DWORD failureCode);

    DWORD OpenedFlag() const noexcept { return opened_ ? 1 : 0; }

    common::ComPtr<IReaderDevice> reader_;
    common::UniqueBstr deviceName_;
    common::UniqueBstr deviceIndependentGrid_;
    LONG deviceDependentGrid_ = -1;
    // The seven BOOL properties, in their declared order.
    VARIANT_BOOL convertDataToUnicode_;
    VARIANT_BOOL readAhead_;
    VARIANT_BOOL autoBeep_;
    VARIANT_BOOL autoDataValidLED_;
    VARIANT_BOOL autoGoodReadLED_;
    VARIANT_BOOL flushDataOnGridChange_;
    VARIANT_BOOL triggerEnable_;
    DWORD setMask_ = 0;
    bool opened_ = false;
    GridRecord gridCache_ = {};
    LONG readBytes_ = 0;
    LONG readTimeout_ = 0;
    bool repost_ = false;
    std::shared_ptr<barcode::ReadChannel> channel_;
};
