// A property page driven the way a container's property frame drives it:
// created by its class, given a site and the selected objects, activated
// into a parent window, shown, clicked with real button messages, applied.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "common/com.h"
#include "common/handle.h"

// The frame's side of a page: records what the page tells it.
class PageSite final : public IPropertyPageSite {
public:
    static common::ComPtr<PageSite> Create();

    const std::vector<DWORD>& StatusChanges() const noexcept { return statusChanges_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* locale) override;
    HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** container) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override;

private:
    PageSite() = default;
    ~PageSite() = default;

    LONG refs_ = 0;
    std::vector<DWORD> statusChanges_;
};

class PageDriver {
public:
    // Creates the page by its class and gives it a site.
    explicit PageDriver(REFCLSID page);
    PageDriver(const PageDriver&) = delete;
    PageDriver& operator=(const PageDriver&) = delete;
    // Hides, deactivates and lets the page go, as a frame closes.
    ~PageDriver();

    IPropertyPage2* Page() const noexcept { return page_.get(); }
    PageSite* Site() const noexcept { return site_.get(); }

    HRESULT Select(std::initializer_list<IUnknown*> objects);
    // Activates the page into the frame's window.
    HRESULT Activate();
    HRESULT Show(UINT command = SW_SHOW) { return page_->Show(command); }
    HRESULT Apply() { return page_->Apply(); }

    HWND Parent() const noexcept { return parent_.get(); }
    // The page's own window: the one child of the frame's window.
    HWND Window() const;
    HWND Box(int id) const { return ::GetDlgItem(Window(), id); }
    bool Checked(int id) const;
    bool Enabled(int id) const;
    // A mouse click on the box, as the user gives it.
    void Click(int id);
    // Clicks the box until it shows `checked`.
    void SetChecked(int id, bool checked);

private:
    common::UniqueWindow parent_;
    common::ComPtr<PageSite> site_;
    common::ComPtr<IPropertyPage2> page_;
};
