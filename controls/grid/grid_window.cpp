// The control window: the list view it holds, the fonts, the focus and the
// routing of the list view's notifications.
#include <cwchar>

#include "frame/event_args.h"
#include "gesture.h"
#include "grid_constants.h"
#include "listora.h"

using namespace grid;

namespace {

// The list view's class: a private copy of the platform's list view.
const wchar_t kListClass[] = L"LR:SysListView32";

constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_OWNERDATA | LVS_SINGLESEL | LVS_REPORT;
static_assert(kListStyle == 0x50801005);

constexpr size_t kFaceNameChars = LF_FACESIZE - 1; // 31 characters and the terminator

VARIANT_BOOL Flag(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

} // namespace

std::span<const frame::Message<Listora>> Listora::Messages() {
    static const frame::Message<Listora> table[] = {
        {WM_CREATE, &Listora::OnCreate},
        {WM_DESTROY, &Listora::OnDestroy},
        {WM_SETFOCUS, &Listora::OnSetFocus},
        {WM_NOTIFY, &Listora::OnNotify},
    };
    return table;
}

LRESULT Listora::OnCreate(WPARAM, LPARAM, bool&) {
    ::InitCommonControls();
    RECT area = {};
    ::GetWindowRect(Window(), &area);
    ::OffsetRect(&area, -area.left, -area.top);
    if (!frame::RegisterContainedWindowClass(WC_LISTVIEWW, kListClass)) {
        return -1;
    }
    HWND list = ::CreateWindowExW(0, kListClass, nullptr, kListStyle, 0, 0, area.right, area.bottom,
                                  Window(), nullptr, frame::module::Instance(), nullptr);
    if (list == nullptr) {
        return -1;
    }
    list_.Subclass(list);
    const LRESULT extended = SendList(LVM_GETEXTENDEDLISTVIEWSTYLE);
    SendList(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended | LVS_EX_FULLROWSELECT);

    // What the form loaded (or the defaults) takes effect now, as a script's put would.
    IListora* self = this;
    self->put_Enabled(Flag(enabled_));
    self->put_ShowHeaders(Flag(showHeaders_));
    self->put_ShowCheckboxes(Flag(showCheckboxes_));
    self->put_HideSelection(Flag(hideSelection_));

    HWND header = reinterpret_cast<HWND>(SendList(LVM_GETHEADER));
    if (header != nullptr) {
        header_.Subclass(header);
    }
    RebuildFonts();
    return 0;
}

LRESULT Listora::OnDestroy(WPARAM, LPARAM, bool& handled) {
    header_.Unsubclass();
    list_.Unsubclass(); // the list view goes with its parent
    itemFont_.reset();
    headerFont_.reset();
    handled = false;
    return 0;
}

LRESULT Listora::OnSetFocus(WPARAM, LPARAM, bool&) {
    if (!UIActive()) {
        UIActivate();
    }
    HWND focus = ::GetFocus();
    if (InPlaceActive() && list_ && (focus == nullptr || !::IsChild(Window(), focus))) {
        ::SetFocus(list_.get());
    }
    return 0;
}

common::UniqueGdiObject Listora::CreateGridFont(const common::UniqueBstr& name, LONG size,
                                                bool bold, bool italic) const {
    common::WindowDc screen(nullptr);
    if (!screen) {
        return {};
    }
    LOGFONTW font = {};
    const std::wstring_view face = name.view().substr(0, kFaceNameChars);
    std::wmemcpy(font.lfFaceName, face.data(), face.size());
    font.lfHeight = -((size * ::GetDeviceCaps(screen.get(), LOGPIXELSY) + 36) / 72);
    font.lfWeight = bold ? FW_BOLD : 0;
    font.lfItalic = italic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    return common::UniqueGdiObject(::CreateFontIndirectW(&font));
}

void Listora::RebuildFonts() {
    if (!list_ || !header_) {
        return;
    }
    itemFont_.reset();
    itemFont_ = CreateGridFont(itemFontName_, itemFontSize_, itemFontBold_, itemFontItalic_);
    SendList(WM_SETFONT, reinterpret_cast<WPARAM>(itemFont_.get()), TRUE);
    headerFont_.reset();
    headerFont_ =
        CreateGridFont(headerFontName_, headerFontSize_, headerFontBold_, headerFontItalic_);
    ::SendMessageW(header_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(headerFont_.get()), TRUE);

    // The list view lays its header out again only when it is sized.
    RECT bounds = {};
    ::GetWindowRect(list_.get(), &bounds);
    ::ShowWindow(list_.get(), SW_HIDE);
    ::SetWindowPos(list_.get(), nullptr, 0, 0, bounds.right - bounds.left,
                   bounds.bottom - bounds.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(list_.get(), SW_SHOWNA);
}

LRESULT Listora::OnNotify(WPARAM, LPARAM lParam, bool& handled) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header == nullptr || !list_ || header->hwndFrom != list_.get()) {
        handled = false;
        return 0;
    }
    switch (header->code) {
    case LVN_GETDISPINFOW:
        return OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
    case LVN_COLUMNCLICK:
        FireEvent(kEventHeaderClick,
                  {frame::event_args::I4(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem + 1)},
                  kEventLocale);
        return 0;
    case LVN_ITEMCHANGED:
        return OnItemChanged(*reinterpret_cast<NMLISTVIEW*>(lParam));
    case NM_CUSTOMDRAW:
        return OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
    case NM_CLICK:
        return OnClick(*reinterpret_cast<NMITEMACTIVATE*>(lParam));
    case NM_RECOGNIZEGESTURE:
        if (designMode_) {
            handled = false;
            return 0;
        }
        return contextMenu_ ? 0 : 1; // non-zero: no gesture feedback
    case GN_CONTEXTMENU: {
        if (!designMode_ && contextMenu_) {
            const auto* gesture = reinterpret_cast<NMRGINFO*>(lParam);
            FireEvent(kEventShowContextMenu,
                      {frame::event_args::I4(gesture->ptAction.x * twipsPerPixelX_),
                       frame::event_args::I4(gesture->ptAction.y * twipsPerPixelY_)},
                      kEventLocale);
        }
        return 0;
    }
    default:
        handled = false;
        return 0;
    }
}
