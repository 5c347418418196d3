// The browse buttons: the system's open-file dialog into a path box.
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "resource.h"
#include "upgrade_dialog.h"
#include "utility_log.h"

namespace q4mutil {

namespace {

// The filter as the user sees it: pairs of description and patterns.
const wchar_t kFileFilter[] = L"Q4M Files (*.bin;*.drx)|*.bin; *.drx";
const wchar_t kDefaultExtension[] = L"*.*";
const wchar_t kInitialFolder[] = L"\\My Device\\Storage card\\";

// The open-file dialog wants the pairs separated and ended by NULs.
std::wstring DialogFilter() {
    std::wstring filter = kFileFilter;
    for (wchar_t& c : filter) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    filter.append(2, L'\0');
    return filter;
}

} // namespace

void UpgradeDialog::Browse(int target) {
    const std::wstring filter = DialogFilter();
    wchar_t chosen[MAX_PATH] = {};
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = window_;
    request.lpstrFilter = filter.c_str();
    request.lpstrFile = chosen;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = kInitialFolder;
    request.lpstrDefExt = kDefaultExtension;
    request.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    if (!::GetOpenFileNameW(&request)) {
        return;
    }
    ::UpdateWindow(window_);
    if (chosen[0] == L'\0') {
        LogLine(L"Please select a file or cancel operation.");
        Notify(L"Please select a file or cancel operation.");
        return;
    }
    ::SetDlgItemTextW(window_, target, chosen);
    EnableItem(IDC_UPGRADE, true);
}

} // namespace q4mutil
