// The grid window that the grid benchmarks work on: a frame on the memory backend holding an
// empty grid of a large site's size, undo off while the benchmark fills it.
#pragma once

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXGridParam.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"

#include <memory>

template <class Grid = CGXGridWnd>
struct BigGridWindow {
    CWnd frame;
    std::unique_ptr<Grid> grid;

    // With bFeatures the grid has the feature library (clipboard, fill, sort and the rest).
    BigGridWindow(ROWCOL nRows, ROWCOL nCols, bool bFeatures = true)
    {
        HeadlessBackend::Install();
        RegisterStandardControls();
        if (bFeatures)
            GXInstallGridFeatures();
        GXInitControlFactory();
        frame.CreateEx(0, AfxRegisterWndClass(0), "Bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000, 700, nullptr, nullptr);
        grid = std::make_unique<Grid>();
        grid->CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 980, 660), &frame, 100);
        grid->Initialize();
        grid->GetParam()->EnableUndo(FALSE);
        grid->SetRowCount(nRows, 0);
        grid->SetColCount(nCols, 0);
    }
    // Once filled: undo on, and the grid painted once.
    void Ready()
    {
        grid->GetParam()->EnableUndo(TRUE);
        grid->UpdateWindow();
    }
};
