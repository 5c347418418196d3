// The events: cell texts and check states answered through by-reference
// arguments, keys and mouse in twips, taps on cells and headers, selection
// changes and the tap-and-hold context menu.
#include <windows.h>
#include <commctrl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gesture.h"
#include "grid_fixture.h"

namespace {

using testsupport::EventHandler;
using testsupport::RecordedEvent;

std::vector<DISPID> Ids(const testsupport::EventRecorder& recorder) {
    std::vector<DISPID> ids;
    for (const auto& event : recorder.Events()) {
        ids.push_back(event.dispid);
    }
    return ids;
}

// The arguments of a recorded event in the event's own order.
const VARIANT& Arg(const RecordedEvent& event, size_t index) {
    return *event.received[event.received.size() - 1 - index].get();
}

const RecordedEvent* Find(const testsupport::EventRecorder& recorder, DISPID id) {
    for (const auto& event : recorder.Events()) {
        if (event.dispid == id) {
            return &event;
        }
    }
    return nullptr;
}

// Holds keys down in this thread's keyboard state, and lets them go.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<BYTE> keys) {
        ::GetKeyboardState(saved_);
        BYTE state[256];
        ::GetKeyboardState(state);
        for (BYTE key : keys) {
            state[key] = 0x80;
        }
        ::SetKeyboardState(state);
    }
    ~HeldKeys() { ::SetKeyboardState(saved_); }

private:
    BYTE saved_[256];
};

class Events : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        Activate();
        ASSERT_EQ(grid_->put_ColumnCount(3), S_OK);
        ASSERT_EQ(grid_->put_RowCount(20), S_OK);
    }
    LRESULT Notify(NMHDR& header) {
        return ::SendMessageW(container_.ControlWindow(), WM_NOTIFY, header.idFrom,
                              reinterpret_cast<LPARAM>(&header));
    }
    POINT CellCentre(int row, int column) {
        RECT item = {};
        item.left = LVIR_BOUNDS;
        ::SendMessageW(List(), LVM_GETITEMRECT, row - 1, reinterpret_cast<LPARAM>(&item));
        RECT header = {};
        ::SendMessageW(Header(), HDM_GETITEMRECT, column - 1, reinterpret_cast<LPARAM>(&header));
        return {(header.left + header.right) / 2, (item.top + item.bottom) / 2};
    }
    void Tap(HWND window, POINT at) {
        ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Pump();
        ::SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        Pump();
    }
};

TEST_F(Events, CellTextsComeFromTheScriptsAnswer) {
    AnswerCells();
    cells_[{2, 3}] = L"C2";
    cells_[{1, 1}] = L"first row";
    EXPECT_EQ(CellText(2, 3), L"C2");
    EXPECT_EQ(CellText(1, 1), L"first row");
    EXPECT_EQ(CellText(5, 2), L"") << "no answer: a blank cell";
    const RecordedEvent* request = Find(*recorder_.get(), 1);
    ASSERT_NE(request, nullptr);
    ASSERT_EQ(request->received.size(), 3u);
    EXPECT_EQ(Arg(*request, 0).vt, VT_I4);
    EXPECT_EQ(Arg(*request, 0).lVal, 2);
    EXPECT_EQ(Arg(*request, 1).lVal, 3);
    EXPECT_EQ(Arg(*request, 2).vt, VT_BYREF | VT_VARIANT);
    for (const auto& call : answers_->Calls()) {
        EXPECT_EQ(call.locale, 0x800u);
        EXPECT_EQ(call.flags, DISPATCH_METHOD);
    }
}

TEST_F(Events, CellTextIsCutToTheListViewsBufferAndNonTextAnswersConvert) {
    VARIANT answer;
    ::VariantInit(&answer);
    auto handler = EventHandler::Create(DIID_IListoraEvents, [&](DISPID id, DISPPARAMS& params) {
        if (id == 1) {
            ::VariantCopy(EventHandler::ByRefArgument(params, 2), &answer);
        }
    });
    auto connection = handler->Connect(container_.Control());
    answer.vt = VT_BSTR;
    answer.bstrVal = ::SysAllocString(L"abcdefgh");
    wchar_t small[4] = {L'x', L'x', L'x', L'x'};
    LVITEMW item = {};
    item.pszText = small;
    item.cchTextMax = 4;
    ::SendMessageW(List(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(small, L"abc");
    ::VariantClear(&answer);

    answer.vt = VT_I4;
    answer.lVal = 1234;
    EXPECT_EQ(CellText(1, 1), L"1234");
    answer.vt = VT_NULL;
    EXPECT_EQ(CellText(1, 1), L"") << "an answer that is no text leaves the cell blank";
}

TEST_F(Events, EverySinkSharesOneTextAndSeesWhatTheOneBeforeLeft) {
    std::wstring seenBySecond;
    auto first = EventHandler::Create(DIID_IListoraEvents, [](DISPID id, DISPPARAMS& params) {
        if (id == 1) {
            VARIANT* text = EventHandler::ByRefArgument(params, 2);
            text->vt = VT_BSTR;
            text->bstrVal = ::SysAllocString(L"first");
        }
    });
    auto second = EventHandler::Create(DIID_IListoraEvents, [&](DISPID id, DISPPARAMS& params) {
        if (id == 1) {
            VARIANT* text = EventHandler::ByRefArgument(params, 2);
            seenBySecond = text->vt == VT_BSTR ? text->bstrVal : L"<none>";
            ::VariantClear(text);
            text->vt = VT_BSTR;
            text->bstrVal = ::SysAllocString(L"second");
        }
    });
    auto firstConnection = first->Connect(container_.Control());
    auto secondConnection = second->Connect(container_.Control());
    EXPECT_EQ(CellText(3, 1), L"second");
    EXPECT_EQ(seenBySecond, L"first");
}

TEST_F(Events, CheckBoxesShowTheScriptsRowStates) {
    AnswerCells();
    checked_[3] = true;
    ASSERT_EQ(grid_->put_ShowCheckboxes(VARIANT_TRUE), S_OK);
    recorder_->Clear();
    PaintList();
    EXPECT_GT(CountEvents(*recorder_.get(), 2), 0) << "painting asks for row states";
    const RecordedEvent* request = Find(*recorder_.get(), 2);
    ASSERT_NE(request, nullptr);
    ASSERT_EQ(request->received.size(), 2u);
    EXPECT_EQ(Arg(*request, 1).vt, VT_BYREF | VT_VARIANT);

    // Asked the way the list view asks when it draws an item.
    auto stateOf = [&](int row) {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE | LVIF_STATE;
        item.iItem = row - 1;
        item.stateMask = LVIS_STATEIMAGEMASK;
        ::SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return (item.state & LVIS_STATEIMAGEMASK) >> 12;
    };
    EXPECT_EQ(stateOf(3), 2u);
    EXPECT_EQ(stateOf(4), 1u);

    // Without check boxes nobody asks.
    ASSERT_EQ(grid_->put_ShowCheckboxes(VARIANT_FALSE), S_OK);
    recorder_->Clear();
    PaintList();
    EXPECT_EQ(CountEvents(*recorder_.get(), 2), 0);
    EXPECT_GT(CountEvents(*recorder_.get(), 1), 0);
}

TEST_F(Events, TappingACheckBoxReportsColumnZeroAndRedrawAsksAgain) {
    AnswerCells();
    ASSERT_EQ(grid_->put_ShowCheckboxes(VARIANT_TRUE), S_OK);
    PaintList();
    // Where row 2's check box is, as the list view's own hit test finds it.
    RECT row = {};
    row.left = LVIR_BOUNDS;
    ::SendMessageW(List(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    POINT box = {-1, -1};
    for (int x = row.left; x < row.left + 40 && box.x < 0; ++x) {
        LVHITTESTINFO hit = {};
        hit.pt = {x, (row.top + row.bottom) / 2};
        ::SendMessageW(List(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.iItem == 1 && (hit.flags & LVHT_ONITEMSTATEICON) != 0) {
            box = hit.pt;
        }
    }
    ASSERT_GE(box.x, 0) << "no check box found";
    recorder_->Clear();
    Tap(List(), box);
    const RecordedEvent* click = Find(*recorder_.get(), 3);
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(Arg(*click, 0).lVal, 2);
    EXPECT_EQ(Arg(*click, 1).lVal, 0);

    recorder_->Clear();
    Tap(List(), CellCentre(4, 2));
    click = Find(*recorder_.get(), 3);
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(Arg(*click, 0).lVal, 4);
    EXPECT_EQ(Arg(*click, 1).lVal, 2);

    // The script changes its answer and redraws the row: the list view asks again.
    Pump();
    ::UpdateWindow(List());
    recorder_->Clear();
    checked_[2] = true;
    ASSERT_EQ(grid_->RedrawRange(2, 2), S_OK);
    ::UpdateWindow(List());
    const RecordedEvent* state = Find(*recorder_.get(), 2);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(Arg(*state, 0).lVal, 2);
}

TEST_F(Events, TapOnAHeaderRaisesHeaderClickWithItsColumn) {
    RECT second = {};
    ::SendMessageW(Header(), HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    recorder_->Clear();
    const POINT at = {(second.left + second.right) / 2, (second.top + second.bottom) / 2};
    ::PostMessageW(Header(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::PostMessageW(Header(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    Pump();
    const RecordedEvent* click = Find(*recorder_.get(), 4);
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(Arg(*click, 0).lVal, 2);
}

TEST_F(Events, KeyPressGetsTheCharacterByReferenceAndTheListNeverSearches) {
    std::vector<SHORT> seen;
    SHORT replacement = 0;
    auto handler = EventHandler::Create(DIID_IListoraEvents, [&](DISPID id, DISPPARAMS& params) {
        if (id == DISPID_KEYPRESS) {
            VARIANT* key = EventHandler::ByRefArgument(params, 0);
            ASSERT_NE(key, nullptr);
            seen.push_back(key->vt == VT_I2 ? key->iVal : SHORT(-1));
            key->iVal = replacement;
        }
    });
    auto connection = handler->Connect(container_.Control());
    ::SendMessageW(List(), WM_CHAR, L'a', 0);
    replacement = L'b';
    ::SendMessageW(List(), WM_CHAR, L'q', 0);
    EXPECT_EQ(seen, (std::vector<SHORT>{L'a', L'q'}));
    // A typed character would start the list view's own search, which moves the selection.
    LONG selection = -1;
    grid_->get_Selection(&selection);
    EXPECT_EQ(selection, 0);
}

TEST_F(Events, KeysReportTheirCodeAndShiftState) {
    {
        HeldKeys keys({VK_SHIFT, VK_CONTROL});
        ::SendMessageW(List(), WM_KEYDOWN, 'K', 0);
    }
    ::SendMessageW(List(), WM_KEYUP, 'K', 0);
    ASSERT_EQ(Ids(*recorder_.get()), (std::vector<DISPID>{DISPID_KEYDOWN, DISPID_KEYUP}));
    const RecordedEvent& down = recorder_->Events()[0];
    EXPECT_EQ(Arg(down, 0).vt, VT_I2);
    EXPECT_EQ(Arg(down, 0).iVal, 'K');
    EXPECT_EQ(Arg(down, 1).iVal, 3);
    EXPECT_EQ(Arg(recorder_->Events()[1], 1).iVal, 0);
}

TEST_F(Events, ArrowKeysAreClaimedFromTheContainer) {
    auto active = container_.As<IOleInPlaceActiveObject>();
    MSG arrow = {List(), WM_KEYDOWN, VK_DOWN, 0, 0, {0, 0}};
    EXPECT_EQ(active->TranslateAccelerator(&arrow), S_OK);
    EXPECT_EQ(CountEvents(*recorder_.get(), DISPID_KEYDOWN), 1)
        << "the arrow reached the list view";
    MSG tab = {List(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_EQ(active->TranslateAccelerator(&tab), S_FALSE);
}

TEST_F(Events, MouseButtonsReportInTwipsAndEveryReleaseIsAClick) {
    ::SendMessageW(List(), WM_MBUTTONDOWN, MK_MBUTTON | MK_SHIFT, MAKELPARAM(10, 20));
    ::SendMessageW(List(), WM_MBUTTONUP, MK_SHIFT, MAKELPARAM(11, 21));
    ASSERT_EQ(Ids(*recorder_.get()),
              (std::vector<DISPID>{DISPID_MOUSEDOWN, DISPID_MOUSEUP, DISPID_CLICK}));
    const RecordedEvent& down = recorder_->Events()[0];
    EXPECT_EQ(Arg(down, 0).vt, VT_I2);
    EXPECT_EQ(Arg(down, 0).iVal, 16);
    EXPECT_EQ(Arg(down, 1).iVal, 1);
    EXPECT_EQ(Arg(down, 2).vt, VT_I4);
    EXPECT_EQ(Arg(down, 2).lVal, 150);
    EXPECT_EQ(Arg(down, 3).lVal, 300);
    EXPECT_EQ(Arg(recorder_->Events()[1], 2).lVal, 165);

    recorder_->Clear();
    ::SendMessageW(List(), WM_MBUTTONDBLCLK, MK_MBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(Ids(*recorder_.get()), (std::vector<DISPID>{DISPID_DBLCLICK}));
}

TEST_F(Events, AReleaseTheListDidNotSeeIsInferredFromTheNextMove) {
    ::SendMessageW(List(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(4, 5));
    ::SendMessageW(List(), WM_MOUSEMOVE, MK_MBUTTON, MAKELPARAM(6, 7));
    ::SendMessageW(List(), WM_MOUSEMOVE, 0, MAKELPARAM(8, 9));
    ::SendMessageW(List(), WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON, MAKELPARAM(1, 1));
    ASSERT_EQ(Ids(*recorder_.get()),
              (std::vector<DISPID>{DISPID_MOUSEDOWN, DISPID_MOUSEMOVE, DISPID_MOUSEUP, DISPID_CLICK,
                                   DISPID_MOUSEMOVE}));
    EXPECT_EQ(Arg(recorder_->Events()[1], 0).iVal, 4) << "a move names the middle button 4";
    const RecordedEvent& up = recorder_->Events()[2];
    EXPECT_EQ(Arg(up, 0).iVal, 16);
    EXPECT_EQ(Arg(up, 2).lVal, 8 * 15);
    EXPECT_EQ(Arg(up, 3).lVal, 9 * 15);
    EXPECT_EQ(Arg(recorder_->Events()[4], 0).iVal, 5);
}

TEST_F(Events, ATapOnACellIsMouseDownUpClickAndItemClick) {
    recorder_->Clear();
    Tap(List(), CellCentre(3, 1));
    const std::vector<DISPID> ids = Ids(*recorder_.get());
    EXPECT_EQ(CountEvents(*recorder_.get(), DISPID_MOUSEDOWN), 1);
    EXPECT_EQ(CountEvents(*recorder_.get(), DISPID_MOUSEUP), 1);
    EXPECT_EQ(CountEvents(*recorder_.get(), DISPID_CLICK), 1);
    const RecordedEvent* click = Find(*recorder_.get(), 3);
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(Arg(*click, 0).lVal, 3);
    EXPECT_EQ(Arg(*click, 1).lVal, 1);
    LONG selection = 0;
    grid_->get_Selection(&selection);
    EXPECT_EQ(selection, 3);
}

TEST_F(Events, SelectionChangesWhenARowGainsOrLosesBothSelectionAndFocus) {
    recorder_->Clear();
    ASSERT_EQ(grid_->put_Selection(3), S_OK);
    EXPECT_EQ(CountEvents(*recorder_.get(), 5), 1);

    recorder_->Clear();
    NMLISTVIEW change = {};
    change.hdr.hwndFrom = List();
    change.hdr.code = LVN_ITEMCHANGED;
    change.iItem = 2;
    change.uChanged = LVIF_STATE;
    change.uOldState = LVIS_SELECTED | LVIS_FOCUSED;
    change.uNewState = 0;
    Notify(change.hdr);
    EXPECT_EQ(CountEvents(*recorder_.get(), 5), 1) << "lost both";
    change.uOldState = 0;
    change.uNewState = LVIS_SELECTED;
    Notify(change.hdr);
    change.uOldState = LVIS_FOCUSED;
    change.uNewState = LVIS_SELECTED | LVIS_FOCUSED;
    Notify(change.hdr);
    change.uOldState = 0;
    change.uChanged = LVIF_TEXT;
    Notify(change.hdr);
    change.uChanged = LVIF_STATE;
    change.hdr.hwndFrom = Header();
    Notify(change.hdr);
    EXPECT_EQ(CountEvents(*recorder_.get(), 5), 1) << "no other change counts";
}

TEST_F(Events, SubItemsArePaintedInTheItemColours) {
    ASSERT_EQ(grid_->put_ItemForeColor(0x00123456), S_OK);
    NMLVCUSTOMDRAW draw = {};
    draw.nmcd.hdr.hwndFrom = List();
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(Notify(draw.nmcd.hdr), CDRF_NOTIFYITEMDRAW);
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    EXPECT_EQ(Notify(draw.nmcd.hdr), CDRF_NOTIFYSUBITEMDRAW);
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
    EXPECT_EQ(Notify(draw.nmcd.hdr), CDRF_NEWFONT);
    EXPECT_EQ(draw.clrText, 0x00123456u);
    EXPECT_EQ(draw.clrTextBk, ::GetSysColor(COLOR_WINDOW)) << "system colour 5 by its CE index";
    ASSERT_EQ(grid_->put_ItemBackColor(0x7F998877), S_OK) << "bits above the 24 of RGB";
    Notify(draw.nmcd.hdr);
    EXPECT_EQ(draw.clrTextBk, 0x00998877u);
    draw.nmcd.dwDrawStage = CDDS_POSTPAINT;
    EXPECT_EQ(Notify(draw.nmcd.hdr), CDRF_DODEFAULT);
}

TEST_F(Events, TapAndHoldShowsTheContextMenuOnlyWhenAsked) {
    EXPECT_FALSE(TerminalTapAndHold(List(), 5, 6)) << "no gesture feedback";
    EXPECT_EQ(CountEvents(*recorder_.get(), 6), 0);
    ASSERT_EQ(grid_->put_ContextMenu(VARIANT_TRUE), S_OK);
    EXPECT_TRUE(TerminalTapAndHold(List(), 5, 6));
    const RecordedEvent* menu = Find(*recorder_.get(), 6);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Arg(*menu, 0).lVal, 75);
    EXPECT_EQ(Arg(*menu, 1).lVal, 90);
    ASSERT_EQ(grid_->put_ContextMenu(VARIANT_FALSE), S_OK);
    EXPECT_FALSE(TerminalTapAndHold(List(), 5, 6));
    EXPECT_EQ(CountEvents(*recorder_.get(), 6), 1);
}

class DesignTimeEvents : public GridTest {};

TEST_F(DesignTimeEvents, NoMouseKeyOrMenuEventInADesigner) {
    container_.SetUserMode(false);
    Activate();
    ASSERT_EQ(grid_->put_ContextMenu(VARIANT_TRUE), S_OK);
    recorder_->Clear();
    ::SendMessageW(List(), WM_MBUTTONDOWN, MK_MBUTTON, 0);
    ::SendMessageW(List(), WM_MBUTTONUP, 0, 0);
    ::SendMessageW(List(), WM_MBUTTONDBLCLK, 0, 0);
    ::SendMessageW(List(), WM_KEYDOWN, 'A', 0);
    ::SendMessageW(List(), WM_CHAR, 'a', 0);
    // The designer's gesture is the list view's own: allowed, but no event.
    EXPECT_TRUE(TerminalTapAndHold(List(), 1, 1));
    EXPECT_TRUE(recorder_->Events().empty());
}

TEST_F(Events, FocusGivenToTheControlGoesOnToTheList) {
    ::SetFocus(container_.ControlWindow());
    EXPECT_EQ(::GetFocus(), List());
}

} // namespace
