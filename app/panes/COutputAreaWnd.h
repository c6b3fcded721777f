// The read-only text of the Output Area: warning and error lines, one per line. With the keys it
// shows a dotted frame round its text: its caret alone, blinking in a pane no one types into, is
// easily missed.
#pragma once

#include "platform/afx/dlg/CRichEditCtrl.h"

class COutputAreaWnd : public CRichEditCtrl {
    DECLARE_DYNCREATE(COutputAreaWnd)

public:
    COutputAreaWnd() = default;
    ~COutputAreaWnd() override = default;
    COutputAreaWnd(const COutputAreaWnd&) = delete;
    COutputAreaWnd& operator=(const COutputAreaWnd&) = delete;

protected:
    void OnPaint();
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

private:
    void DrawFocusFrame();
};
