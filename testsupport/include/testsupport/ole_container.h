// An OLE container for control tests: a form window with one control site,
// as a script's host offers it — client site, in-place site and frame,
// control site, ambient properties (UserMode switchable) and a property
// notification sink that can refuse edits.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "common/com.h"
#include "common/handle.h"
#include "testsupport/event_sink.h"

namespace testsupport {

class ContainerSite; // the site's COM object

class OleContainer {
public:
    // Creates the form window (shown, without activation).
    OleContainer();
    // Sites the control on a form of the caller's, at `position`; the form is
    // borrowed and must outlive the container.
    OleContainer(HWND form, const RECT& position);
    OleContainer(const OleContainer&) = delete;
    OleContainer& operator=(const OleContainer&) = delete;
    // Closes and releases the control.
    ~OleContainer();

    // Creates the control, gives it the client site and connects the
    // property notification sink. Loading or InitNew is the caller's.
    HRESULT Create(REFCLSID clsid);
    // Hosts a control created elsewhere.
    HRESULT Attach(IUnknown* control);
    // Create, InitNew through IPersistStreamInit, and in-place activation.
    HRESULT CreateAndActivate(REFCLSID clsid);
    // In-place activation with the site rectangle.
    HRESULT Activate();
    // Gives the control a new rectangle in the form.
    HRESULT Resize(const RECT& position);
    // Deactivates, closes and releases the control.
    void Close();

    IUnknown* Control() const noexcept { return control_.get(); }
    template <typename I> common::ComPtr<I> As() const noexcept { return control_.as<I>(); }
    HWND Form() const noexcept { return formWindow_; }
    // The control's in-place window; null when it has none.
    HWND ControlWindow() const;
    RECT SiteRect() const;

    // The UserMode ambient property (true at first); the control is told.
    void SetUserMode(bool userMode);
    // While set, every OnRequestEdit is answered S_FALSE.
    void SetRefuseEdits(bool refuse);
    // Property ids the control asked to edit and reported changed, in order.
    const std::vector<DISPID>& RequestedEdits() const;
    const std::vector<DISPID>& ChangedProperties() const;
    void ClearNotifications();
    bool InPlaceActive() const;

private:
    common::UniqueWindow form_;
    HWND formWindow_;
    common::ComPtr<ContainerSite> site_;
    common::ComPtr<IUnknown> control_;
    DWORD notifyCookie_ = 0;
};

// One event as a sink received it.
struct RecordedEvent {
    DISPID dispid;
    // The arguments exactly as they arrived: the last argument first.
    std::vector<common::UniqueVariant> received;
    // Position of the call among all calls to every recorder of the process.
    unsigned long sequence;
};

// A sink for any outgoing dispatch interface that records every call.
class EventRecorder final : public EventSink {
public:
    static common::ComPtr<EventRecorder> Create(const IID& iid);

    const std::vector<RecordedEvent>& Events() const noexcept { return events_; }
    void Clear() noexcept { events_.clear(); }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

private:
    explicit EventRecorder(const IID& iid) : EventSink(iid) {}

    std::vector<RecordedEvent> events_;
};

} // namespace testsupport
