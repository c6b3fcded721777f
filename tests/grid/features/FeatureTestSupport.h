// Grids with the feature library installed: the library started with the plain factory after
// the features filled their slots, the fixed-metric font on, undo on.
#pragma once

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"
#include "tests/grid/features/GridFeatureSlots.h"

class FeatureGridTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        m_slots.SaveAndInstall();
        InitGridLibrary(new CGXControlFactory);
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        m_slots.Restore();
        HeadlessTest::TearDown();
    }
    GridFeatureSlots m_slots;
    // A grid of nRows x nCols whose cell (r, c) holds "r.c" where bFill says so.
    static void SetUpGrid(CGXGridCore& grid, ROWCOL nRows, ROWCOL nCols, bool bFill = true)
    {
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(nRows, 0);
        grid.SetColCount(nCols, 0);
        if (bFill)
            for (ROWCOL r = 1; r <= nRows; ++r)
                for (ROWCOL c = 1; c <= nCols; ++c)
                    grid.SetValueRange(CGXRange(r, c, r, c), Label(r, c), gxOverride, 0, 0);
        grid.GetParam()->EnableUndo(TRUE);
    }
    static CString Label(ROWCOL r, ROWCOL c)
    {
        CString s;
        s.Format("%u.%u", static_cast<unsigned>(r), static_cast<unsigned>(c));
        return s;
    }
};
