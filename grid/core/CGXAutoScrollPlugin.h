// CGXAutoScrollPlugin: scrolls the grid by itself while a button is held beyond the edge of
// the scrolling area, a navigation key is held or a scroll-bar arrow is pressed, faster the
// longer and the farther the pointer stays out. It runs on the grid window's timer 992.
#pragma once

#include "grid/core/CGXPluginComponent.h"

class CGXGridCore;

class CGXAutoScrollPlugin : public CGXPluginComponent {
    DECLARE_DYNAMIC(CGXAutoScrollPlugin)
public:
    explicit CGXAutoScrollPlugin(CGXGridCore* pGrid);
    // Makes the plug-in for a grid once and adds it to the grid's plug-ins.
    static CGXAutoScrollPlugin* Install(CGXGridCore* pGrid);

    void Stop();
    // One tick of timer 992.
    void Step();

    int GetStepInterval() const { return m_nStepInterval; }
    int GetSpeed() const { return m_nSpeed; }

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    void Reset()
    {
        m_nStepInterval = 80;
        m_nSpeed = 1;
    }
    void SendMouseMove(CPoint pt);

    CGXGridCore* m_pGrid;
    BOOL m_bRows = FALSE;
    BOOL m_bCols = FALSE;
    UINT_PTR m_nTimer = 0;
    CRect m_rectInner;
    DWORD m_dwStart = 0;
    DWORD m_dwLastStep = 0;
    int m_nStepInterval = 80;
    int m_nMoveInterval = 80;
    CPoint m_ptStart;
    int m_nSpeed = 1;
    int m_nLastDistance = 0;
    int m_nScrollBarDirection = -1;
    UINT m_nKey = 0;
    UINT m_nKeyFlags = 0;
};
