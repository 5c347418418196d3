#include "page_driver.h"

#include <gtest/gtest.h>

common::ComPtr<PageSite> PageSite::Create() {
    return common::ComPtr<PageSite>(new PageSite());
}

HRESULT PageSite::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IPropertyPageSite) {
        *object = static_cast<IPropertyPageSite*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG PageSite::AddRef() {
    return ::InterlockedIncrement(&refs_);
}

ULONG PageSite::Release() {
    const LONG left = ::InterlockedDecrement(&refs_);
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT PageSite::OnStatusChange(DWORD flags) {
    statusChanges_.push_back(flags);
    return S_OK;
}

HRESULT PageSite::GetLocaleID(LCID* locale) {
    if (locale == nullptr) {
        return E_POINTER;
    }
    *locale = ::GetUserDefaultLCID();
    return S_OK;
}

HRESULT PageSite::GetPageContainer(IUnknown** container) {
    if (container != nullptr) {
        *container = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT PageSite::TranslateAccelerator(MSG*) {
    return S_FALSE;
}

PageDriver::PageDriver(REFCLSID page)
    : parent_(::CreateWindowExW(0, L"STATIC", L"Property frame", WS_POPUP | WS_VISIBLE, 0, 0, 600,
                                300, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr)),
      site_(PageSite::Create()) {
    EXPECT_TRUE(parent_.valid());
    EXPECT_EQ(::CoCreateInstance(page, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage2,
                                 page_.put_void()),
              S_OK);
    if (page_) {
        EXPECT_EQ(page_->SetPageSite(site_.get()), S_OK);
    }
}

PageDriver::~PageDriver() {
    if (page_) {
        page_->Show(SW_HIDE);
        page_->Deactivate();
        page_->SetObjects(0, nullptr);
        page_->SetPageSite(nullptr);
    }
}

HRESULT PageDriver::Select(std::initializer_list<IUnknown*> objects) {
    std::vector<IUnknown*> list(objects);
    return page_->SetObjects(static_cast<ULONG>(list.size()), list.data());
}

HRESULT PageDriver::Activate() {
    RECT rect = {8, 8, 560, 260};
    return page_->Activate(parent_.get(), &rect, TRUE);
}

HWND PageDriver::Window() const {
    return ::GetWindow(parent_.get(), GW_CHILD);
}

bool PageDriver::Checked(int id) const {
    return ::SendMessageW(Box(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool PageDriver::Enabled(int id) const {
    return ::IsWindowEnabled(Box(id)) != FALSE;
}

void PageDriver::Click(int id) {
    HWND box = Box(id);
    ASSERT_NE(box, nullptr) << "box " << id;
    ::SendMessageW(box, BM_CLICK, 0, 0);
}

void PageDriver::SetChecked(int id, bool checked) {
    for (int i = 0; i < 2 && Checked(id) != checked; ++i) {
        Click(id);
    }
    EXPECT_EQ(Checked(id), checked) << "box " << id;
}
