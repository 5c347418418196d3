// The grid in a form, with the real list view behind it, and the sinks that
// answer its events as a script would.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "Listora.h"
#include "common/com.h"
#include "testsupport/event_handler.h"
#include "testsupport/ole_container.h"

// Registers Listora.dll (again: the terminal registers it too).
HRESULT RegisterGridServer();
HRESULT UnregisterGridServer();

class GridTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and activates the grid in a form of `width` by `height` pixels.
    void Activate(int width = 240, int height = 200);

    HWND List() const;
    HWND Header() const;
    // Pumps what is waiting for this thread's windows, painting included.
    static void Pump();
    // Paints the list view now (what it asks for goes through the events).
    void PaintList() const;

    // The sink that answers cell texts and row states from the maps below.
    void AnswerCells();

    // The text that the list view shows in a cell (asks the grid).
    std::wstring CellText(int row, int column) const;

    common::ComApartment apartment_;
    testsupport::OleContainer container_;
    common::ComPtr<IListora> grid_;
    common::ComPtr<testsupport::EventRecorder> recorder_;
    testsupport::SinkConnection recorderConnection_;
    common::ComPtr<testsupport::EventHandler> answers_;
    testsupport::SinkConnection answersConnection_;
    // Answers of the script: text of (row, column), checked rows.
    std::map<std::pair<LONG, LONG>, std::wstring> cells_;
    std::map<LONG, bool> checked_;
    int textRequests_ = 0;
};

// Counts the recorded events of one DISPID.
int CountEvents(const testsupport::EventRecorder& recorder, DISPID id);
