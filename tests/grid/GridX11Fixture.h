// Grids on the X11 backend under the test program's private Xvfb server: the standard controls
// registered and the grid library started with the fixture's factory (the feature library
// installed first where the fixture asks for it), all given back in order. Include it after
// everything else, as the X11 fixture it stands on says.
#pragma once

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/StandardControls.h"
#include "tests/grid/features/GridFeatureSlots.h"

#include "tests/platform/win/X11TestFixture.h"

class GridX11Test : public X11Test {
protected:
    bool TakesScreenshots() const override { return true; }
    void SetUp() override
    {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        RegisterStandardControls();
        if (WithFeatures())
            m_slots.SaveAndInstall();
        InitGridLibrary(CreateFactory());
        m_bStarted = true;
    }
    void TearDown() override
    {
        if (m_bStarted) {
            TerminateGridLibrary();
            if (WithFeatures())
                m_slots.Restore();
            m_bStarted = false;
        }
        X11Test::TearDown();
    }
    virtual CGXControlFactory* CreateFactory() { return new CGXControlFactory; }
    virtual bool WithFeatures() const { return false; }

    // The screen position of a point of a window's client area.
    static POINT OnScreen(CWnd& wnd, int x, int y)
    {
        POINT pt{x, y};
        ::ClientToScreen(wnd.GetSafeHwnd(), &pt);
        return pt;
    }

private:
    GridFeatureSlots m_slots;
    bool m_bStarted = false;   // the grid library was started
};
