// The read-only text of the Output Area: warning and error lines, one per line. With the keys it
// shows a solid frame round its text in the colour of chosen text: its caret alone, blinking in a
// pane no one types into, is easily missed, and so is a dotted line along the pane's own edge.
#pragma once

#include "platform/afx/dlg/CRichEditCtrl.h"

class COutputAreaWnd : public CRichEditCtrl {
    DECLARE_DYNCREATE(COutputAreaWnd)

public:
    // The focus frame's width, and the room between it and the text.
    static constexpr int kFrameWidth = 2;
    static constexpr int kFrameGap = 2;

    COutputAreaWnd() = default;
    ~COutputAreaWnd() override = default;
    COutputAreaWnd(const COutputAreaWnd&) = delete;
    COutputAreaWnd& operator=(const COutputAreaWnd&) = delete;

protected:
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

private:
    void DrawFocusFrame();
};
