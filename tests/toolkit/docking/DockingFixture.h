// A frame on the headless backend with the toolkit's four dock bars, and helpers that read a
// dock bar's rows back as bar numbers.
#pragma once

#include "platform/afx/frame/CFrameWnd.h"
#include "tests/platform/afx/AfxFixture.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECDockBar.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

inline std::ostream& operator<<(std::ostream& os, const CRect& r)
{
    return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

class ToolkitDockingTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr));
        ASSERT_TRUE(pane.Create(nullptr, "pane", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame, AFX_IDW_PANE_FIRST));
        const UINT ids[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};
        const DWORD sides[4] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};
        for (int i = 0; i < 4; ++i) {
            auto* dock = new SECDockBar;
            ASSERT_TRUE(dock->Create(frame, WS_CHILD | WS_VISIBLE | sides[i], ids[i]));
            docks[i] = dock;
        }
    }
    void TearDown() override
    {
        // Tests put bars into the rows by hand: no dock bar may point at them once they go.
        for (SECDockBar* dock : docks)
            if (dock) {
                dock->m_arrBars.RemoveAll();
                dock->m_arrBars.Add(nullptr);
                dock->m_arrChangedBars.RemoveAll();
            }
        for (auto& bar : bars)
            if (bar->m_hWnd)
                bar->DestroyWindow();
        bars.clear();
        if (frame->m_hWnd)
            frame->DestroyWindow();
        AfxTest::TearDown();
    }
    // A sizable toolkit bar (extended style as given) docked nowhere yet.
    SECControlBar* MakeBar(UINT id, DWORD style = CBRS_TOP | CBRS_SIZE_DYNAMIC, DWORD exStyle = 0)
    {
        auto bar = std::make_unique<SECControlBar>();
        EXPECT_TRUE(bar->Create(frame, "bar", WS_VISIBLE | style, exStyle, id));
        bar->EnableDocking(CBRS_ALIGN_ANY);
        bars.push_back(std::move(bar));
        return bars.back().get();
    }
public:
    // The bar array as text: bars by their id's last hex digit, '|' for a null entry, 'pN' for a
    // placeholder of id N.
    static std::string Rows(const CDockBar* dock)
    {
        std::string text;
        for (INT_PTR i = 0; i < dock->m_arrBars.GetSize(); ++i) {
            void* p = dock->m_arrBars[i];
            if (!p)
                text += "|";
            else if (CDockBar::IsPlaceHolder(p))
                text += "p" + std::to_string(reinterpret_cast<UINT_PTR>(p) & 0xF);
            else
                text += std::to_string(static_cast<CControlBar*>(p)->GetDlgCtrlID() & 0xF);
        }
        return text;
    }
    static CRect InParent(const CWnd& wnd)
    {
        CRect rect;
        wnd.GetWindowRect(&rect);
        ::MapWindowPoints(nullptr, ::GetParent(wnd.m_hWnd), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
protected:
    SECDockBar* Top() { return docks[0]; }
    SECDockBar* Bottom() { return docks[1]; }
    SECDockBar* Left() { return docks[2]; }
    SECDockBar* Right() { return docks[3]; }

    CFrameWnd* frame = new CFrameWnd;
    CWnd pane;
    SECDockBar* docks[4] = {};
    std::vector<std::unique_ptr<SECControlBar>> bars;
};
