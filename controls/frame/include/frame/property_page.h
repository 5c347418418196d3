// A property page of a control library: the page a container's property
// frame shows for the selected objects. The frame keeps the page site and the
// objects, makes the page's window from its dialog template, answers the page
// information from the library's string table, and tracks the dirty state; a
// page class loads its controls from the objects and applies them back.
//
//   class GaugePage final : public frame::PropertyPage {
//   public:
//       static const frame::PropertyPageClass& Class();   // dialog and strings
//       GaugePage() : PropertyPage(Class()) {}
//   protected:
//       HRESULT LoadFromObjects() override;   // objects -> dialog controls
//       HRESULT ApplyToObjects() override;    // dialog controls -> objects
//   };
//
// A page is created through the server's class table like any class
// (frame::CreateInstance<GaugePage>) and registered by its own script.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <span>
#include <vector>

#include "common/com.h"
#include "common/handle.h"
#include "frame/module.h"

namespace frame {

// What the frame knows of a page class: its dialog template and the string
// table entries of its page information (0 where the page has none).
struct PropertyPageClass {
    const CLSID* clsid;
    UINT dialog;    // DIALOG resource: a child window holding the page's controls
    UINT title;     // tab title
    UINT helpFile;  // help file name
    UINT docString; // documentation string
    DWORD helpContext = 0;
};

// The size in pixels of a dialog template of this module, as the dialog
// manager lays it out (the template's own font, or the system's dialog base
// units). An empty size when there is no such template.
SIZE DialogTemplateSize(UINT dialog) noexcept;

class PropertyPage : public IPropertyPage2 {
public:
    explicit PropertyPage(const PropertyPageClass& cls) noexcept : class_(cls) {}
    PropertyPage(const PropertyPage&) = delete;
    PropertyPage& operator=(const PropertyPage&) = delete;
    virtual ~PropertyPage();

    HRESULT FinalConstruct() noexcept { return S_OK; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IPropertyPage
    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
    HRESULT STDMETHODCALLTYPE Show(UINT command) override;
    HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
    HRESULT STDMETHODCALLTYPE IsPageDirty() override;
    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR helpDir) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg) override;

    // IPropertyPage2
    HRESULT STDMETHODCALLTYPE EditProperty(DISPID id) override;

protected:
    // --- For the page class ---

    // Sets the page's dialog controls from the selected objects; runs when the
    // frame shows the page, before its window is shown. A failure is Show's
    // result and the window stays as it is.
    virtual HRESULT LoadFromObjects() { return S_OK; }
    // Writes the dialog controls to the selected objects; a failure is
    // Apply's result and the page stays dirty.
    virtual HRESULT ApplyToObjects() { return S_OK; }

    // The page's window; null while the page is not active.
    HWND PageWindow() const noexcept { return window_.get(); }
    // The objects the frame selected, in its order (borrowed).
    std::span<const common::ComPtr<IUnknown>> Objects() const noexcept { return objects_; }
    // Marks the page changed (the frame is told, so it can offer Apply) or
    // unchanged.
    void SetDirty(bool dirty) noexcept;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    const PropertyPageClass& class_;
    ModuleLock lock_;
    LONG refs_ = 0;
    common::ComPtr<IPropertyPageSite> site_;
    std::vector<common::ComPtr<IUnknown>> objects_;
    common::UniqueWindow window_;
    bool dirty_ = false;
};

} // namespace frame
