// The Output Area: a docking bar listing the warnings and errors that any thread posts to it.
// Lines arrive as atoms (kMsgOutputAddLine) and the pane shows itself when one arrives.
#pragma once

#include "app/panes/COutputAreaWnd.h"
#include "engine/project/OutputAreaLine.h"
#include "toolkit/controls/SECTabWnd.h"
#include "toolkit/docking/SECControlBar.h"


class COutputAreaControlBar : public SECControlBar {
    DECLARE_DYNCREATE(COutputAreaControlBar)

public:
    static constexpr UINT kOutputId = 1054;
    static constexpr UINT kTabPaneId = 59648;

    COutputAreaControlBar() = default;
    ~COutputAreaControlBar() override = default;
    COutputAreaControlBar(const COutputAreaControlBar&) = delete;
    COutputAreaControlBar& operator=(const COutputAreaControlBar&) = delete;

    // Appends one line (a "\n" is added) at the end of the text.
    void AppendLine(const CString& strLine);
    void Clear();
    CString GetText() const;

    COutputAreaWnd& GetOutputWnd() { return m_wndOutput; }
    SECTabWnd& GetTabWnd() { return m_wndTab; }

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnAddLine(WPARAM wParam, LPARAM lParam);
    LRESULT OnClear(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    SECTabWnd m_wndTab;
    COutputAreaWnd m_wndOutput;
    // A long line comes as several atoms; the pieces gather here, by poster, until its last one.
    OutputAreaPieces m_pending;
};
